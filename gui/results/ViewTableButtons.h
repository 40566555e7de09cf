#pragma once

#include <QHBoxLayout>

class QDialog;
class QPushButton;

// The buttons at the bottom right of a dialog that reports on a division:
// "查看分班表(&V)", which accepts the dialog (the caller then shows the
// division table), and "关闭(&C)", the default, which rejects it.
class CViewTableButtons : public QHBoxLayout
{
public:
    explicit CViewTableButtons(QDialog* dialog);

    QPushButton* viewTableButton() const { return m_viewTable; }
    QPushButton* closeButton() const { return m_close; }

private:
    QPushButton* m_viewTable = nullptr;
    QPushButton* m_close = nullptr;
};
