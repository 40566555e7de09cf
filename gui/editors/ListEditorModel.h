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
// begin/end pairs and rowChanged, as Qt's models require.
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
    void setRows(CListRows* rows);
    CListRows* rows() const { return m_rows; }
    void setColumns(std::vector<Column> columns);
    const std::vector<Column>& columns() const { return m_columns; }

    void beginAppendRows(int count);
    void endAppendRows();
    void beginResetRows();
    void endResetRows();
    void rowChanged(int row) { rowsChanged(row, row); }
    void rowsChanged(int first, int last);

    // Removes rows listed from the bottom up.
    void removeListedRows(const std::vector<int>& bottomUp);
    void swapRows(int a, int b);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    CListRows* m_rows = nullptr;
    std::vector<Column> m_columns;
};
