#include "gui/common/MessageBox.h"

#include <QApplication>
#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace {
struct TestState
{
    bool on = false;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<bool> openResults;
    std::vector<QUrl> opened;
    std::deque<QString> paths;
    std::vector<CMessageBox::Shown> shown;
    std::vector<CMessageBox::Chooser> choosers;
};

TestState& testState()
{
    static TestState state;
    return state;
}

QMessageBox::Icon toQt(CMessageBox::Icon icon)
{
    switch (icon) {
    case CMessageBox::Icon::Information: return QMessageBox::Information;
    case CMessageBox::Icon::Warning: return QMessageBox::Warning;
    case CMessageBox::Icon::Error: return QMessageBox::Critical;
    case CMessageBox::Icon::Question: return QMessageBox::Question;
    case CMessageBox::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// A queued answer that stands for Escape or the close box.
constexpr QMessageBox::StandardButton kEscapeAnswer = QMessageBox::Escape;

// The answer a box gives when the user just closes it.
QMessageBox::StandardButton defaultAnswer(QMessageBox::StandardButtons buttons, QMessageBox::StandardButton escape)
{
    if (escape != QMessageBox::NoButton)
        return escape;
    if (buttons & QMessageBox::Cancel)
        return QMessageBox::Cancel;
    if (buttons & QMessageBox::No)
        return QMessageBox::No;
    if (buttons & QMessageBox::Ok)
        return QMessageBox::Ok;
    return QMessageBox::NoButton;
}
} // namespace

QString CMessageBox::defaultCaption()
{
    return QStringLiteral("提示");
}

QMessageBox::StandardButton CMessageBox::show(QWidget* parent, const QString& text, Icon icon,
                                              QMessageBox::StandardButtons buttons, const QString& caption)
{
    return ask(parent, text, icon, buttons, caption, QMessageBox::NoButton);
}

void CMessageBox::closeSplash()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->property(kSplashProperty).toBool() && widget->isVisible())
            widget->close();
    }
}

QMessageBox::StandardButton CMessageBox::ask(QWidget* parent, const QString& text, Icon icon,
                                             QMessageBox::StandardButtons buttons, const QString& caption,
                                             QMessageBox::StandardButton escape)
{
    // Nothing may hide a message: the start-up splash, which stays on top,
    // goes first.
    closeSplash();
    TestState& state = testState();
    if (state.on) {
        const QMessageBox::StandardButton closed = defaultAnswer(buttons, escape);
        state.shown.push_back({caption, text, icon, buttons, closed});
        if (!state.answers.empty()) {
            const auto answer = state.answers.front();
            state.answers.pop_front();
            return answer == kEscapeAnswer ? closed : answer;
        }
        return closed;
    }
    return static_cast<QMessageBox::StandardButton>(makeBox(parent, text, icon, buttons, caption, escape)->exec());
}

std::unique_ptr<QMessageBox> CMessageBox::makeBox(QWidget* parent, const QString& text, Icon icon,
                                                  QMessageBox::StandardButtons buttons, const QString& caption,
                                                  QMessageBox::StandardButton escape)
{
    auto box = std::make_unique<QMessageBox>(toQt(icon), caption, text, buttons, parent);
    if (escape != QMessageBox::NoButton)
        box->setEscapeButton(escape);
    // The buttons speak Chinese whatever the system's language is.
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {{QMessageBox::Ok, "确定"},
                                                                            {QMessageBox::Cancel, "取消"},
                                                                            {QMessageBox::Yes, "是(&Y)"},
                                                                            {QMessageBox::No, "否(&N)"}};
    for (const auto& [button, label] : captions)
        if (QAbstractButton* b = box->button(button))
            b->setText(QString::fromUtf8(label));
    return box;
}

void CMessageBox::information(QWidget* parent, const QString& text)
{
    show(parent, text, Icon::Information);
}

void CMessageBox::error(QWidget* parent, const QString& text)
{
    show(parent, text, Icon::Error);
}

bool CMessageBox::question(QWidget* parent, const QString& text)
{
    return show(parent, text, Icon::Question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

CMessageBox::Answer CMessageBox::askYesNoCancel(QWidget* parent, const QString& text)
{
    switch (ask(parent, text, Icon::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                defaultCaption(), QMessageBox::Cancel)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool CMessageBox::questionKeeping(QWidget* parent, const QString& text)
{
    return ask(parent, text, Icon::Question, QMessageBox::Yes | QMessageBox::No, defaultCaption(), QMessageBox::Yes)
           != QMessageBox::No;
}

bool CMessageBox::openExternal(QWidget* parent, const QUrl& url)
{
    TestState& state = testState();
    bool opened = true;
    if (state.on) {
        state.opened.push_back(url);
        if (!state.openResults.empty()) {
            opened = state.openResults.front();
            state.openResults.pop_front();
        }
    } else {
        opened = QDesktopServices::openUrl(url);
    }
    if (opened)
        return true;
    QString what = QStringLiteral("网址");
    QString where = url.toDisplayString();
    if (url.isLocalFile()) {
        where = QDir::toNativeSeparators(url.toLocalFile());
        what = QFileInfo(url.toLocalFile()).isDir() ? QStringLiteral("文件夹") : QStringLiteral("文件");
    }
    error(parent, QStringLiteral("没有找到可以打开此%1的程序：\n%2").arg(what, where));
    return false;
}

QString CMessageBox::nextPath(const Chooser& chooser)
{
    TestState& state = testState();
    state.choosers.push_back(chooser);
    if (state.paths.empty())
        return {};
    QString path = state.paths.front();
    state.paths.pop_front();
    return path;
}

QString CMessageBox::getOpenFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter)
{
    if (testState().on)
        return nextPath({title, dir, filter});
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString CMessageBox::getSaveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter)
{
    if (testState().on)
        return nextPath({title, dir, filter});
    return QFileDialog::getSaveFileName(parent, title, dir, filter);
}

QString CMessageBox::getExistingDirectory(QWidget* parent, const QString& title, const QString& dir)
{
    if (testState().on)
        return nextPath({title, dir, QString()});
    return QFileDialog::getExistingDirectory(parent, title, dir, QFileDialog::ShowDirsOnly);
}

bool CMessageBox::choosePrinter(QWidget* parent, QPrinter& printer)
{
    const QString title = QStringLiteral("打印");
    if (testState().on) {
        const QString path = nextPath({title, QString(), QString()});
        if (path.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

void CMessageBox::setTestMode(bool on)
{
    testState().on = on;
}

bool CMessageBox::isTestMode()
{
    return testState().on;
}

void CMessageBox::pushAnswer(QMessageBox::StandardButton answer)
{
    testState().answers.push_back(answer);
}

void CMessageBox::pushEscape()
{
    testState().answers.push_back(kEscapeAnswer);
}

void CMessageBox::pushOpenResult(bool opened)
{
    testState().openResults.push_back(opened);
}

const std::vector<QUrl>& CMessageBox::openedUrls()
{
    return testState().opened;
}

void CMessageBox::pushPath(const QString& path)
{
    testState().paths.push_back(path);
}

const std::vector<CMessageBox::Shown>& CMessageBox::shownMessages()
{
    return testState().shown;
}

const std::vector<CMessageBox::Chooser>& CMessageBox::shownChoosers()
{
    return testState().choosers;
}

QStringList CMessageBox::shownTexts()
{
    QStringList texts;
    for (const Shown& s : testState().shown)
        texts << s.text;
    return texts;
}

void CMessageBox::clearTestState()
{
    TestState& state = testState();
    state.answers.clear();
    state.openResults.clear();
    state.opened.clear();
    state.paths.clear();
    state.shown.clear();
    state.choosers.clear();
}
