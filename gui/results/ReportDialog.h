#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTextEdit;

// The report of a division run (or the stored report): the text on a white
// rounded card, "查看分班表(&V)" after a run that divided, and "关闭(&C)".
// The view table button ends the dialog with Accepted.
class CReportDialog : public QDialog
{
    Q_OBJECT

public:
    // mode: the end code of the run (0, 1, 2), or 3 for the stored report.
    CReportDialog(const QString& text, int mode, QWidget* parent = nullptr);

    int mode() const { return m_mode; }
    QString text() const { return m_text; }
    QTextEdit* textEdit() const { return m_edit; }
    QPushButton* viewTableButton() const { return m_viewTable; }
    QPushButton* closeButton() const { return m_close; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QString m_text;
    int m_mode = 0;
    QTextEdit* m_edit = nullptr;
    QPushButton* m_viewTable = nullptr;
    QPushButton* m_close = nullptr;
};
