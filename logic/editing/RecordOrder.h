#pragma once

#include "logic/editing/ListEditorRows.h"
#include "base/object/QZObjectList.h"

#include <algorithm>
#include <functional>
#include <vector>

// The order in which the editors and pickers show a task's records, and
// in which the editors save them.
class CRecordOrder
{
public:
    // The records of list by ascending index. Of records with equal index the
    // one met later in the list goes before the one met earlier.
    template <class T>
    static std::vector<T*> InIndexOrder(const CQZObjectList& list)
    {
        std::vector<T*> records = list.Records<T>();
        std::reverse(records.begin(), records.end());
        std::stable_sort(records.begin(), records.end(),
                         [](const T* a, const T* b) { return a->GetIndex() < b->GetIndex(); });
        return records;
    }

    // Replaces the records of list by copies of the records of rows 0 to
    // count - 1 (recordAt; a row without a record of type T is left out),
    // each with its row's position as index: the save of an editor whose
    // rows carry their own records.
    template <class T>
    static void ReplaceInOrder(CQZObjectList& list, int count, const std::function<CQZObject*(int)>& recordAt)
    {
        list.RemoveAll();
        list.Reserve(static_cast<std::size_t>(count));
        for (int row = 0; row < count; ++row) {
            auto* record = dynamic_cast<T*>(recordAt(row));
            if (!record)
                continue;
            std::unique_ptr<T> copy = CListEditorRows::CopyOf(record);
            copy->SetIndex(row);
            list.Add(std::move(copy));
        }
    }
};
