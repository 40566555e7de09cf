#pragma once

#include "logic/export/PublicationList.h"

#include <QDialog>
#include <QString>

#include <vector>

class CScheduleTask;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "分班公示": the lists of the division posted for parents. The user sets
// the school's name for the title, whether names are masked and which
// columns the lists have (never scores), then "保存…" asks for a .pdf or
// .xlsx file and writes it; the dialog closes once the file is written.
class CPublishDialog : public QDialog
{
    Q_OBJECT

public:
    CPublishDialog(CScheduleTask& task, const QString& schoolName, QWidget* parent = nullptr);

    // The digest of the division the footer shows (empty: the date alone),
    // and a note shown above the buttons (why there is none, say).
    void setDigest(const QString& digest, const QString& note = QString());
    QLabel* digestLabel() const { return m_digestLabel; }

    QLineEdit* schoolField() const { return m_school; }
    QCheckBox* maskBox() const { return m_mask; }
    QCheckBox* columnBox(CPublicationList::Column column) const;
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

    // The options as the dialog shows them.
    CPublicationList::Options options() const;
    // Asks for the file and writes it; true when it was written.
    bool save();

private:
    void updateSave();

    CScheduleTask& m_task;
    QString m_digest;
    QLineEdit* m_school = nullptr;
    QCheckBox* m_mask = nullptr;
    QLabel* m_digestLabel = nullptr;
    std::vector<std::pair<CPublicationList::Column, QCheckBox*>> m_columns;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
};
