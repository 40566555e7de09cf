#pragma once

#include <QString>

class QDialog;
class QLabel;
class QLayout;
class QProgressBar;
class QPushButton;

// The controls of a dialog that watches a run on a worker, laid out as the
// division's run dialog: the status line, the progress bar (0 to 100, no
// text), what the dialog shows besides (if anything) and "取消" at the
// bottom right, which rejects the dialog. The dialog owns the controls.
class CRunDialogLayout
{
public:
    CRunDialogLayout(QDialog* dialog, const QString& statusText, QLayout* middle = nullptr);

    QLabel* status = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* cancel = nullptr;
};
