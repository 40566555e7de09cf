#pragma once

#include "QZObjectList.h"

#include <algorithm>
#include <vector>

// The order in which the editors and pickers show a task's records.
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
};
