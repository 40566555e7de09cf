#pragma once

#include <QDialog>
#include <QMargins>
#include <QRect>

class QTableView;
class QVBoxLayout;

// Base of the division table and statistics dialogs: a grey window with a
// framed list view. The window's layout holds the list (and whatever a
// dialog puts above or below it); the frame is drawn just around the list.
class CResultTableDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CResultTableDialog(QWidget* parent = nullptr);

    QTableView* table() const { return m_table; }
    // The frame drawn around the list: the list's place grown by the inset.
    QRect tableFrame() const;

protected:
    // The layout of the window; the list is in it, stretching.
    QVBoxLayout* contentLayout() const { return m_layout; }
    // Distance of the list from each side of the frame.
    void setTableInset(const QMargins& inset);

    void paintEvent(QPaintEvent* event) override;

private:
    QTableView* m_table = nullptr;
    QVBoxLayout* m_layout = nullptr;
    QMargins m_inset{1, 1, 1, 1};
};
