#include "gui/results/AutoDivisionDialog.h"

#include "core/Core.h"
#include "gui/common/DialogUnits.h"
#include "gui/results/RunDialogLayout.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

using DialogUnits::toPixels;

CAutoDivisionDialog::CAutoDivisionDialog(CScheduleTask& task, QWidget* parent) : QDialog(parent), m_task(task)
{
    setWindowTitle(QStringLiteral("自动分班"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The status line starts empty: the engine's first status replaces it.
    const CRunDialogLayout controls(this, m_statusText);
    m_status = controls.status;
    m_progress = controls.progress;
    m_cancel = controls.cancel;
    // The template's size, or more where the font needs it.
    setFixedSize(sizeHint().expandedTo(QSize(toPixels(295), toPixels(70))));
}

CAutoDivisionDialog::~CAutoDivisionDialog()
{
    stopEngine();
}

void CAutoDivisionDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        startEngine();
    }
}

void CAutoDivisionDialog::startEngine()
{
    m_core = std::make_unique<CCore>(m_task);
    m_core->Init(this);
    m_core->SetFilter(m_classFilter);
    m_core->Start();
}

void CAutoDivisionDialog::done(int result)
{
    stopEngine();
    QDialog::done(result);
}

void CAutoDivisionDialog::stopEngine()
{
    m_bridge.close();
    if (!m_core)
        return;
    m_core->Free();
    // A stopped worker may still be finishing a step; how the run ended is
    // known once it has let go of the task.
    CWorkerBridge::waitUntilTaskIsFree(m_task);
    m_engineResult = m_core->GetResult();
    m_resultSaved = m_core->IsResultSaved();
    m_core.reset();
}

void CAutoDivisionDialog::Notify(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message != WM_DIVISION_NOTIFY)
        return;
    // The text is valid only during this call.
    QString text;
    if (wParam == DIVISION_NOTIFY_STATUS && lParam != 0)
        text = QString::fromUtf8(reinterpret_cast<const char*>(lParam));
    const bool handled = m_bridge.call([this, wParam, lParam, text] { handleNotify(wParam, lParam, text); });
    // The window has closed: the run stops right here rather than at the
    // window's own stop request, which may come a moment later.
    if (!handled || m_bridge.isClosed())
        m_core->Cancel();
}

void CAutoDivisionDialog::handleNotify(std::uintptr_t wParam, std::intptr_t lParam, const QString& text)
{
    switch (wParam) {
    case DIVISION_NOTIFY_STATUS:
        m_statusText = text;
        m_status->setText(m_statusText);
        emit statusChanged(m_statusText);
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
        QTimer::singleShot(kClosingPauseMs, this, [this] {
            if (isVisible()) // not cancelled meanwhile
                accept();
        });
        break;
    default: break;
    }
}
