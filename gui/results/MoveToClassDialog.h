#pragma once

#include <QDialog>

#include <string>
#include <vector>

class CScheduleTask;
class QListWidget;
class QPushButton;

// "调到班级": picks the class that the students chosen in the division
// table go to. Each class shows how many students it holds and its planned
// number; the class all of them are in already cannot be picked.
class CMoveToClassDialog : public QDialog
{
    Q_OBJECT

public:
    CMoveToClassDialog(const CScheduleTask& task, const std::vector<std::string>& studentIds,
                       QWidget* parent = nullptr);

    QListWidget* classList() const { return m_list; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The class picked; empty when none is.
    std::string chosenClassId() const;

private:
    QListWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
