#include "AutoDivisionDlg.h"

#include "Core.h"
#include "DialogUnits.h"
#include "UICore.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>

using DialogUnits::toPixels;

CAutoDivisionDlg::CAutoDivisionDlg(CScheduleTask& task, QWidget* parent) : QDialog(parent), m_task(task)
{
    setWindowTitle(QStringLiteral("自动分班"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(toPixels(295), toPixels(70));

    // The status line starts empty: the engine's first status replaces it.
    m_status = new QLabel(m_statusText, this);
    m_status->setGeometry(toPixels(7), toPixels(11), toPixels(281), toPixels(12));
    m_progress = new QProgressBar(this);
    m_progress->setGeometry(toPixels(7), toPixels(27), toPixels(281), toPixels(14));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setGeometry(toPixels(212), toPixels(49), toPixels(76), toPixels(14));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    CUICore::instance()->SetAllChildWindowFont(this);
}

CAutoDivisionDlg::~CAutoDivisionDlg()
{
    stopEngine();
}

void CAutoDivisionDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        startEngine();
    }
}

void CAutoDivisionDlg::startEngine()
{
    m_core = std::make_unique<CCore>(m_task);
    m_core->Init(this);
    m_core->SetFilter(m_classFilter);
    m_core->Start();
}

void CAutoDivisionDlg::done(int result)
{
    stopEngine();
    QDialog::done(result);
}

void CAutoDivisionDlg::stopEngine()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    if (m_core) {
        m_core->Free();
        m_core.reset();
    }
    // A worker released above leaves Notify at once; make sure none is
    // still inside before this object can go away.
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_inNotify == 0; });
}

void CAutoDivisionDlg::Notify(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message != WM_DIVISION_NOTIFY)
        return;
    // The text is valid only during this call.
    QString text;
    if (wParam == DIVISION_NOTIFY_STATUS && lParam != 0)
        text = QString::fromUtf8(reinterpret_cast<const char*>(lParam));

    if (QThread::currentThread() == thread()) {
        if (!m_stopped)
            handleNotify(wParam, lParam, text);
        return;
    }

    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_stopped)
        return;
    ++m_inNotify;
    const std::uint64_t ticket = ++m_posted;
    QMetaObject::invokeMethod(
        this,
        [this, wParam, lParam, text, ticket] {
            handleNotify(wParam, lParam, text);
            {
                std::lock_guard<std::mutex> guard(m_mutex);
                m_handled = std::max(m_handled, ticket);
            }
            m_changed.notify_all();
        },
        Qt::QueuedConnection);
    m_changed.wait(lock, [this, ticket] { return m_stopped || m_handled >= ticket; });
    --m_inNotify;
    lock.unlock();
    m_changed.notify_all();
}

void CAutoDivisionDlg::handleNotify(std::uintptr_t wParam, std::intptr_t lParam, const QString& text)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopped)
            return; // arrived after the run was stopped
    }
    switch (wParam) {
    case DIVISION_NOTIFY_STATUS:
        m_statusText = text;
        m_status->setText(m_statusText);
        break;
    case DIVISION_NOTIFY_PROGRESS:
        m_progress->setValue(static_cast<int>(std::clamp<std::intptr_t>(lParam, 0, 100)));
        break;
    case DIVISION_NOTIFY_END:
        if (m_finished)
            break;
        m_resultCode = static_cast<int>(lParam);
        m_finished = true;
        // Leave the final state on screen for a moment, then close.
        repaint();
        QTimer::singleShot(ClosingPauseMs, this, [this] {
            if (isVisible()) // not cancelled meanwhile
                accept();
        });
        break;
    default:
        break;
    }
}
