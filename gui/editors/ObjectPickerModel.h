#pragma once

#include "logic/pinyin/NameSearchIndex.h"

#include <QAbstractListModel>
#include <QIcon>

#include <string>
#include <vector>

class CQZObject;
class CQZObjectList;

// The records a picker offers, each as its name under a picture, narrowed
// by what the user types (see CNameSearchIndex). The search keys are made
// once, when the records are set.
class CObjectPickerModel : public QAbstractListModel
{
    Q_OBJECT

public:
    CObjectPickerModel(const QIcon& icon, QObject* parent = nullptr);

    // All records of list, in index order.
    void setRecords(const CQZObjectList& list);
    // Shows only the records that match text; all for an empty text.
    void setFilter(const QString& text);

    // The record shown at row, or none.
    CQZObject* recordAt(int row) const;
    // The row showing the record with that id, or -1.
    int rowOf(const std::string& id) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QIcon m_icon;
    std::vector<CQZObject*> m_records;
    CNameSearchIndex m_index;
    std::vector<int> m_shown; // positions in m_records
};
