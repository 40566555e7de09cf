#include "base/object/QZObjectList.h"

#include <algorithm>

CQZObjectList::~CQZObjectList()
{
    RemoveAll();
}

namespace {

// Notes that a name-index key points to the entry.
void NoteName(CQZObjectList::Entry& entry, const std::string& name)
{
    if (!entry.named) {
        entry.named = true;
        entry.name = name;
    } else if (name != entry.name
               && std::find(entry.otherNames.begin(), entry.otherNames.end(), name) == entry.otherNames.end()) {
        entry.otherNames.push_back(name);
    }
}

} // namespace

void CQZObjectList::DropNames(Entry& entry)
{
    const auto drop = [this, &entry](const std::string& name) {
        const auto it = m_nameIndex.find(name);
        if (it != m_nameIndex.end() && it->second == entry.object.get())
            m_nameIndex.erase(it);
    };
    if (entry.named)
        drop(entry.name);
    for (const std::string& name : entry.otherNames)
        drop(name);
    entry.named = false;
    entry.name.clear();
    entry.otherNames.clear();
}

void CQZObjectList::Erase(Storage::iterator it)
{
    DropNames(*it);
    m_owners.erase(it->object.get());
    m_idIndex.erase(it->id);
    m_entries.erase(it);
}

bool CQZObjectList::Add(std::unique_ptr<CQZObject> record)
{
    if (!record)
        return false;
    CQZObject* raw = record.get();
    const std::string& id = raw->IdRef();

    Storage::iterator entry;
    const auto [owner, newRecord] = m_owners.try_emplace(raw);
    if (!newRecord) {
        // Already ours: the record may have been given a new id since.
        record.release();
        entry = owner->second;
        if (entry->id != id) {
            if (const auto other = m_idIndex.find(id); other != m_idIndex.end())
                Erase(other->second);
            m_idIndex.erase(entry->id);
            entry->id = id;
            m_idIndex.emplace(entry->id, entry);
        }
    } else {
        // Most records come with a new id: the entry is made first, as the
        // index's key is the entry's own copy of the id.
        entry = m_entries.insert(m_entries.end(), Entry{id, std::move(record), false, {}, {}});
        const auto [indexed, newId] = m_idIndex.try_emplace(entry->id, entry);
        if (!newId) {
            // A record already stored under this id goes; the new one takes
            // its place in the order.
            const Storage::iterator existing = indexed->second;
            DropNames(*existing);
            m_owners.erase(existing->object.get());
            existing->object = std::move(entry->object);
            m_entries.erase(entry);
            entry = existing;
        }
        owner->second = entry;
    }

    const std::string& name = raw->NameRef();
    m_nameIndex[name] = raw;
    NoteName(*entry, name);
    return true;
}

bool CQZObjectList::Add(CQZObject* record)
{
    return Add(std::unique_ptr<CQZObject>(record));
}

bool CQZObjectList::Modify(CQZObject* record)
{
    const auto owner = m_owners.find(record);
    if (owner == m_owners.end())
        return false; // a name entry must never point to a record the list does not own
    const std::string& name = record->NameRef();
    m_nameIndex[name] = record;
    NoteName(*owner->second, name);
    return true;
}

void CQZObjectList::Reserve(std::size_t count)
{
    m_idIndex.reserve(count);
    m_nameIndex.reserve(count);
    m_owners.reserve(count);
}

void CQZObjectList::Swap(CQZObjectList& other) noexcept
{
    m_entries.swap(other.m_entries);
    m_idIndex.swap(other.m_idIndex);
    m_nameIndex.swap(other.m_nameIndex);
    m_owners.swap(other.m_owners);
}

CQZObject* CQZObjectList::Find(const std::string& id) const
{
    const auto it = m_idIndex.find(id);
    return it == m_idIndex.end() ? nullptr : it->second->object.get();
}

std::string CQZObjectList::GetObjectName(const std::string& id) const
{
    const CQZObject* record = Find(id);
    return record ? record->GetName() : std::string();
}

std::string CQZObjectList::GetObjectId(const std::string& name) const
{
    const auto it = m_nameIndex.find(name);
    return it == m_nameIndex.end() ? std::string() : it->second->GetId();
}

bool CQZObjectList::Remove(const std::string& id)
{
    const auto it = m_idIndex.find(id);
    if (it != m_idIndex.end())
        Erase(it->second);
    return true;
}

bool CQZObjectList::RemoveAll()
{
    m_nameIndex.clear();
    m_idIndex.clear();
    m_owners.clear();
    m_entries.clear();
    return true;
}
