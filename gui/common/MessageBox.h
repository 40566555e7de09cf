#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

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
    enum class Icon
    {
        None,
        Information,
        Warning,
        Error,
        Question
    };

    // The start-up splash carries this property; every message closes it
    // first, since it stays on top and would hide the message.
    static constexpr const char* kSplashProperty = "quillonSplash";
    static void closeSplash();

    struct Shown
    {
        QString caption;
        QString text;
        Icon icon = Icon::None;
        QMessageBox::StandardButtons buttons;
        // What Escape and the close box answer.
        QMessageBox::StandardButton escape = QMessageBox::NoButton;
    };

    enum class Answer
    {
        Yes,
        No,
        Cancel
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
    // escape: what Escape and the close box answer; NoButton leaves it to
    // the box (Cancel, else No, else the only button).
    static std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const QString& text, Icon icon,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                const QString& caption = defaultCaption(),
                                                QMessageBox::StandardButton escape = QMessageBox::NoButton);

    static void information(QWidget* parent, const QString& text);
    static void error(QWidget* parent, const QString& text);
    // Yes/No with the question icon; true for Yes.
    static bool question(QWidget* parent, const QString& text);
    // For a question whose No throws the user's work away: Yes, No and
    // Cancel, and Escape or the close box answer Cancel, never No.
    static Answer askYesNoCancel(QWidget* parent, const QString& text);
    // For a question whose No throws a result away where there is nothing
    // to go back to: Yes/No, and Escape or the close box answer Yes.
    static bool questionKeeping(QWidget* parent, const QString& text);

    // Opens a file, folder or web address with the program the desktop has
    // for it. When none can be started the user is told so, with the path
    // or address, and false is returned.
    static bool openExternal(QWidget* parent, const QUrl& url);

    // Empty when nothing was chosen.
    static QString getOpenFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter);
    static QString getSaveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter);
    static QString getExistingDirectory(QWidget* parent, const QString& title, const QString& dir);
    // The print dialog for printer; false when cancelled. In test mode the
    // next queued path is a PDF file to print to, and no path cancels.
    static bool choosePrinter(QWidget* parent, QPrinter& printer);

    static QString defaultCaption();

    // Test hook.
    static void setTestMode(bool on);
    static bool isTestMode();
    static void pushAnswer(QMessageBox::StandardButton answer);
    // The next box is closed as Escape or its close box would close it.
    static void pushEscape();
    // Openings are recorded and not made; each takes the next queued
    // result, true when none is queued.
    static void pushOpenResult(bool opened);
    static const std::vector<QUrl>& openedUrls();
    static void pushPath(const QString& path);
    static const std::vector<Shown>& shownMessages();
    static QStringList shownTexts();
    static const std::vector<Chooser>& shownChoosers();
    static void clearTestState();

private:
    static QMessageBox::StandardButton ask(QWidget* parent, const QString& text, Icon icon,
                                           QMessageBox::StandardButtons buttons, const QString& caption,
                                           QMessageBox::StandardButton escape);
    static QString nextPath(const Chooser& chooser);
};
