#include "logic/pinyin/NameSearchIndex.h"

#include "logic/pinyin/PinyinConverter.h"
#include "base/util/TextCodec.h"

void CNameSearchIndex::Build(const std::vector<std::string>& names)
{
    m_keys.clear();
    m_keys.reserve(names.size());
    for (const std::string& name : names)
        m_keys.push_back(MakeKeys(name));
}

std::size_t CNameSearchIndex::Add(const std::string& name)
{
    m_keys.push_back(MakeKeys(name));
    return m_keys.size() - 1;
}

CNameSearchIndex::Keys CNameSearchIndex::MakeKeys(const std::string& name)
{
    CPinyinConverter full;
    CPinyinConverter initials;
    initials.SetInitialsOnly(true);
    Keys keys;
    keys.name = UpperAscii(name);
    // The transcription works on the bytes of the code page.
    const std::string gbk = CTextCodec::ToGbk(keys.name);
    keys.full = full.Transcribe(gbk);
    keys.initials = initials.Transcribe(gbk);
    return keys;
}

std::vector<int> CNameSearchIndex::Find(std::string_view text) const
{
    const std::string upper = UpperAscii(text);
    std::vector<int> found;
    found.reserve(upper.empty() ? m_keys.size() : 64);
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (upper.empty() || Matches(i, upper))
            found.push_back(static_cast<int>(i));
    }
    return found;
}

bool CNameSearchIndex::Matches(std::size_t i, std::string_view upperText) const
{
    const Keys& keys = m_keys[i];
    return keys.name.find(upperText) != std::string::npos || keys.initials.find(upperText) != std::string::npos
           || keys.full.find(upperText) != std::string::npos;
}

std::string CNameSearchIndex::UpperAscii(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}
