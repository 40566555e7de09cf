#include "base/records/TaskInfo.h"

#include "base/util/FileUtil.h"
#include "base/util/IniFile.h"

namespace {

constexpr char kSection[] = "Task Info";
constexpr std::size_t kMaxValueBytes = 259;

} // namespace

CTaskInfo::~CTaskInfo() = default;

void CTaskInfo::SetTaskFolder(const std::string& folder)
{
    // An empty folder stays unset rather than becoming the root folder.
    m_folder = folder.empty() ? folder : CFileUtil::WithSeparator(folder);
}

std::string CTaskInfo::GetTaskFile() const
{
    if (m_taskFile.empty())
        return m_folder + m_name + ".qz";
    return m_folder + m_taskFile;
}

std::string CTaskInfo::GetInputFilePath() const
{
    return m_folder + m_inputFile;
}

std::string CTaskInfo::GetOutputFilePath() const
{
    return m_folder + m_outputFile;
}

std::string CTaskInfo::GetReportFilePath() const
{
    return m_folder + "report.txt";
}

std::string CTaskInfo::GetRulesFilePath() const
{
    return m_folder + "quillon-rules.xml";
}

bool CTaskInfo::WriteToFile()
{
    if (m_name.empty())
        return true;
    CIniFile file(GetTaskFile());
    file.Load();
    file.SetString(kSection, "Name", m_name);
    file.SetString(kSection, "Creator", m_author);
    file.SetString(kSection, "CreateTime", m_createDate);
    file.SetString(kSection, "Description", m_description);
    return file.Save();
}

void CTaskInfo::ReadFromFile(const std::string& path)
{
    CIniFile file(path);
    file.Load();
    m_name = file.GetString(kSection, "Name", "", kMaxValueBytes);
    m_author = file.GetString(kSection, "Creator", "", kMaxValueBytes);
    m_createDate = file.GetString(kSection, "CreateTime", "", kMaxValueBytes);
    m_description = file.GetString(kSection, "Description", "", kMaxValueBytes);

    const char* separators = CFileUtil::Separator() == '/' ? "/" : "\\/";
    const std::size_t cut = path.find_last_of(separators);
    if (cut == std::string::npos) {
        // A bare file name lies in the current folder.
        SetTaskFolder(".");
        m_taskFile = path;
    } else {
        SetTaskFolder(path.substr(0, cut + 1));
        m_taskFile = path.substr(cut + 1);
    }
}
