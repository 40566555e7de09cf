#pragma once

#include "base/object/QZPriority.h"

#include <string>
#include <vector>

// The three fixed priorities: 0 "低", 1 "正常", 2 "高".
class CQZPrioritySet
{
public:
    CQZPrioritySet();

    int GetCount() const { return m_count; }
    CQZPriority& GetAt(int i) { return m_entries[i]; }
    const CQZPriority& GetAt(int i) const { return m_entries[i]; }
    std::string GetDescByIndex(int i) const;
    std::string GetDescByCode(int code) const;
    // Index of the first entry whose word equals desc; 1 when none does.
    int GetIndexByDesc(const std::string& desc) const;
    // The words in index order, for filling a combo box (the program selects
    // position 1, "正常").
    std::vector<std::string> GetDescList() const;
    // Empties the box, adds the three words in index order and selects
    // position 1 ("正常"); does nothing without a box. Any box with clear(),
    // addItem(text) and setCurrentIndex(int) will do (a QComboBox in the
    // program); toText turns a UTF-8 word into the box's text type.
    template <class ComboBox, class ToText>
    void AddToComboBox(ComboBox* box, ToText toText) const
    {
        if (!box)
            return;
        box->clear();
        for (const std::string& desc : GetDescList())
            box->addItem(toText(desc));
        box->setCurrentIndex(1);
    }

private:
    CQZPriority m_entries[3];
    int m_count = 3;
};
