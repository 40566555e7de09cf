#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

class CListRows;

// The rows of a list editor for its list view. Cell texts are read from the
// rows on demand, so a list of many thousands of rows shows at once; the
// columns (titles, widths, alignment) belong to the model.
//
// Whoever changes the rows outside the model announces it through the
// Begin/End pairs and RowChanged, as Qt's models require.
class CListEditorModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString title;
        int width = 0; // pixels; 0 hides the column
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    explicit CListEditorModel(QObject* parent = nullptr);

    // The rows shown (not owned); none shows an empty list.
    void SetRows(CListRows* rows);
    CListRows* GetRows() const { return m_rows; }
    void SetColumns(std::vector<Column> columns);
    const std::vector<Column>& GetColumns() const { return m_columns; }

    void BeginAppendRows(int count);
    void EndAppendRows();
    void BeginResetRows();
    void EndResetRows();
    void RowChanged(int row) { RowsChanged(row, row); }
    void RowsChanged(int first, int last);

    // Removes rows listed from the bottom up.
    void RemoveRows(const std::vector<int>& bottomUp);
    void SwapRows(int a, int b);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    CListRows* m_rows = nullptr;
    std::vector<Column> m_columns;
};
