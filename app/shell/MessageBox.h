#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

class QPrinter;
class QWidget;

// Every message box, file chooser and folder chooser of the program goes
// through here. Captions default to "提示".
//
// Tests switch on the test mode: nothing blocks, each question takes the
// next queued answer (or its default), each chooser the next queued path
// (or none), and everything shown is recorded.
class CMessageBox
{
public:
    enum class Icon { None, Information, Warning, Error, Question };

    struct Shown
    {
        QString caption;
        QString text;
        Icon icon = Icon::None;
        QMessageBox::StandardButtons buttons;
    };

    // A file or folder chooser as it was put up.
    struct Chooser
    {
        QString title;
        QString dir;
        QString filter;
    };

    static QMessageBox::StandardButton Show(QWidget* parent, const QString& text, Icon icon,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            const QString& caption = Caption());

    static void Information(QWidget* parent, const QString& text);
    static void Error(QWidget* parent, const QString& text);
    // Yes/No with the question icon; true for Yes.
    static bool Question(QWidget* parent, const QString& text);

    // Empty when nothing was chosen.
    static QString GetOpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                   const QString& filter);
    static QString GetSaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                   const QString& filter);
    static QString GetExistingDirectory(QWidget* parent, const QString& title, const QString& dir);
    // The print dialog for printer; false when cancelled. In test mode the
    // next queued path is a PDF file to print to, and no path cancels.
    static bool ChoosePrinter(QWidget* parent, QPrinter& printer);

    static QString Caption();

    // Test hook.
    static void SetTestMode(bool on);
    static bool IsTestMode();
    static void PushAnswer(QMessageBox::StandardButton answer);
    static void PushPath(const QString& path);
    static const std::vector<Shown>& ShownMessages();
    static QStringList ShownTexts();
    static const std::vector<Chooser>& ShownChoosers();
    static void ClearTestState();

private:
    static QString NextPath(const Chooser& chooser);
};
