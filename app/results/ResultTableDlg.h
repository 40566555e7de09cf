#pragma once

#include <QDialog>
#include <QMargins>
#include <QRect>

class QTableView;

// Base of the division table and statistics dialogs: a grey window with a
// framed list view. The frame follows the window's size at fixed margins;
// the list sits inside it.
class CResultTableDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CResultTableDlg(QWidget* parent = nullptr);

    QTableView* table() const { return m_table; }
    QRect tableFrame() const { return m_frame; }

protected:
    // Distance of the frame from each side of the client area.
    void setFrameMargins(const QMargins& margins);
    // Distance of the list from each side of the frame.
    void setTableInset(const QMargins& inset);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();

    QTableView* m_table = nullptr;
    QMargins m_frameMargins;
    QMargins m_inset{1, 1, 1, 1};
    QRect m_frame;
};
