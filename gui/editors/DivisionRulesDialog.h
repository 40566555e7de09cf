#pragma once

#include <QDialog>

class CScheduleTask;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "分班规则": the switches of the task's division rules — students of the
// same name apart, of the same sound apart, score bands kept even and their
// limits — as quillon-cli set writes them. "确定" checks the limits, writes
// the rules into the task and saves it (input.xml and the rules file as a
// pair); when that cannot be done the dialog says why and stays open, and
// the task keeps the rules it had.
class CDivisionRulesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CDivisionRulesDialog(CScheduleTask& task, QWidget* parent = nullptr);

    // Saves what the dialog shows; closes only when it is saved (or nothing
    // changed).
    void accept() override;

    QCheckBox* sameNameBox() const { return m_sameName; }
    QCheckBox* sameSoundBox() const { return m_sameSound; }
    QCheckBox* scoreBandsBox() const { return m_scoreBands; }
    QLineEdit* bandsEdit() const { return m_bands; }
    QPushButton* okButton() const { return m_ok; }
    // The red line about a rules file that cannot be read; hidden otherwise.
    QLabel* warningLine() const { return m_warning; }

private:
    void warn(const QString& text);

    CScheduleTask& m_task;
    QCheckBox* m_sameName = nullptr;
    QCheckBox* m_sameSound = nullptr;
    QCheckBox* m_scoreBands = nullptr;
    QLineEdit* m_bands = nullptr;
    QLabel* m_warning = nullptr;
    QPushButton* m_ok = nullptr;
};
