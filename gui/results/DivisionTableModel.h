#pragma once

#include <QAbstractTableModel>

class CDivisionTableData;

// The division table for a list view: reads cell texts from the rows of a
// CDivisionTableData on demand, so even a large school shows at once.
class CDivisionTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CDivisionTableModel(CDivisionTableData& data, QObject* parent = nullptr);

    // Call around CDivisionTableData::Fill.
    void beginRefill();
    void endRefill();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Width in pixels of each column as the table starts ("ID" is 0).
    int defaultColumnWidth(int column) const;

    // Class names drawn as links (blue, with a tip) while a click on one
    // shows that class alone; plain text otherwise.
    void setClassLinks(bool links);
    bool classLinks() const { return m_classLinks; }

private:
    bool isRightAligned(int column) const;

    CDivisionTableData& m_data;
    bool m_classLinks = true;
};
