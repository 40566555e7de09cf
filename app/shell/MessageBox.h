#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
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

    static QMessageBox::StandardButton show(QWidget* parent, const QString& text, Icon icon,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            const QString& caption = defaultCaption());

    // The box as show() puts it up, not yet shown (for pictures of it).
    static std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const QString& text, Icon icon,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                const QString& caption = defaultCaption());

    static void information(QWidget* parent, const QString& text);
    static void error(QWidget* parent, const QString& text);
    // Yes/No with the question icon; true for Yes.
    static bool question(QWidget* parent, const QString& text);

    // Empty when nothing was chosen.
    static QString getOpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                   const QString& filter);
    static QString getSaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                   const QString& filter);
    static QString getExistingDirectory(QWidget* parent, const QString& title, const QString& dir);
    // The print dialog for printer; false when cancelled. In test mode the
    // next queued path is a PDF file to print to, and no path cancels.
    static bool choosePrinter(QWidget* parent, QPrinter& printer);

    static QString defaultCaption();

    // Test hook.
    static void setTestMode(bool on);
    static bool isTestMode();
    static void pushAnswer(QMessageBox::StandardButton answer);
    static void pushPath(const QString& path);
    static const std::vector<Shown>& shownMessages();
    static QStringList shownTexts();
    static const std::vector<Chooser>& shownChoosers();
    static void clearTestState();

private:
    static QString nextPath(const Chooser& chooser);
};
