#pragma once

#include "base/object/QZObject.h"

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Owning collection of records keyed by id, with a secondary name index.
// Iteration yields the records in insertion order, so saved files are
// deterministic. Keys compare as exact byte strings.
//
// Unlike a plain map, replacing a record (Add over an id in use) deletes the
// old record and every name entry that still points to it; the name index
// never holds a pointer to a deleted record.
class CQZObjectList
{
public:
    struct Entry
    {
        std::string id;
        std::unique_ptr<CQZObject> object;
        // The name-index keys that point here: the first in the entry
        // itself, as most records only ever have one.
        bool named = false;
        std::string name;
        std::vector<std::string> otherNames;
    };
    using Storage = std::list<Entry>;

    class const_iterator
    {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = const Entry*;
        using reference = const Entry&;

        const_iterator() = default;
        explicit const_iterator(Storage::const_iterator it) : m_it(it) {}
        reference operator*() const { return *m_it; }
        pointer operator->() const { return &*m_it; }
        const_iterator& operator++()
        {
            ++m_it;
            return *this;
        }
        const_iterator operator++(int)
        {
            auto t = *this;
            ++m_it;
            return t;
        }
        const_iterator& operator--()
        {
            --m_it;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator& o) const { return m_it != o.m_it; }

    private:
        Storage::const_iterator m_it;
    };

    CQZObjectList() = default;
    CQZObjectList(const CQZObjectList&) = delete;
    CQZObjectList& operator=(const CQZObjectList&) = delete;
    virtual ~CQZObjectList();

    // Takes ownership. Stores the record under its id and under its name.
    // A different record already stored under the same id is deleted (its
    // position in the iteration order is taken by the new record). Adding the
    // record that is already stored under its id only refreshes the name.
    bool Add(CQZObject* record);
    bool Add(std::unique_ptr<CQZObject> record);
    bool Update(CQZObject* record) { return Add(record); }
    // Registers the record's current name in the name index (after a
    // rename); the entry under the old name stays.
    bool Modify(CQZObject* record);

    CQZObject* Find(const std::string& id) const;
    template <class T>
    T* FindAs(const std::string& id) const
    {
        return static_cast<T*>(Find(id));
    }

    std::string GetObjectName(const std::string& id) const;
    std::string GetObjectId(const std::string& name) const;

    bool Remove(const std::string& id);
    bool RemoveAll();

    // Prepares the indexes for count records in all.
    void Reserve(std::size_t count);
    // Exchanges the records (and their indexes) of two lists.
    void Swap(CQZObjectList& other) noexcept;

    std::size_t GetCount() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.empty(); }

    const_iterator begin() const { return const_iterator(m_entries.cbegin()); }
    const_iterator end() const { return const_iterator(m_entries.cend()); }

    // The records as a vector of typed pointers, in iteration order.
    template <class T>
    std::vector<T*> Records() const
    {
        std::vector<T*> out;
        out.reserve(m_entries.size());
        for (const Entry& e : m_entries)
            out.push_back(static_cast<T*>(e.object.get()));
        return out;
    }

private:
    void DropNames(Entry& entry);
    void Erase(Storage::iterator it);

    Storage m_entries;
    // Keyed by the entries' own copies of the ids.
    std::unordered_map<std::string_view, Storage::iterator> m_idIndex;
    std::unordered_map<std::string, CQZObject*> m_nameIndex;
    // Which entry owns a record, so that a record is never owned twice.
    std::unordered_map<const CQZObject*, Storage::iterator> m_owners;
};
