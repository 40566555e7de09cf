#pragma once

#include "core/DivisionOwner.h"
#include "gui/common/WorkerBridge.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCore;
class CScheduleTask;
class QLabel;
class QProgressBar;
class QPushButton;

// "自动分班": hosts one engine run on the task. Shows the engine's status
// line and progress; on the end notification it stays 500 ms with the
// final state visible and closes. "取消" (or the close box) stops the run.
//
// The engine's notifications reach the window thread over a worker bridge;
// closing the dialog closes the bridge first, so a worker waiting for the
// window goes on at once and stops. The dialog closes only when the worker
// has let go of the task: from then on engineResult() tells how the run
// really ended.
class CAutoDivisionDialog : public QDialog, public CDivisionOwner
{
    Q_OBJECT

public:
    explicit CAutoDivisionDialog(CScheduleTask& task, QWidget* parent = nullptr);
    ~CAutoDivisionDialog() override;

    // Classes handed to the engine; empty for a division of every class.
    void setClassFilter(const std::vector<std::string>& classIds) { m_classFilter = classIds; }
    // The code of the engine's end notification; 0 when none arrived.
    int resultCode() const { return m_resultCode; }
    QString statusText() const { return m_statusText; }
    // True once the end notification has arrived.
    bool isFinished() const { return m_finished; }
    // After the dialog has closed: the run's result as the engine knows it,
    // DIVISION_RESULT_CANCELLED when it was stopped and changed nothing
    // (also when it never started); 0 or 2 also when a cancel came after
    // the result had been written into the task.
    int engineResult() const { return m_engineResult; }
    // After the dialog has closed: whether the run saved its result.
    bool isResultSaved() const { return m_resultSaved; }

    QLabel* statusLabel() const { return m_status; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Called by the engine on its worker thread.
    void Notify(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // How long the finished state stays on screen before the dialog closes.
    static constexpr int kClosingPauseMs = 500;

signals:
    // A new status line from the engine, while its worker waits.
    void statusChanged(const QString& text);

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startEngine();
    // Releases a waiting worker, stops the engine, waits until it has let
    // go of the task and keeps how the run ended.
    void stopEngine();
    void handleNotify(std::uintptr_t wParam, std::intptr_t lParam, const QString& text);

    CScheduleTask& m_task;
    std::vector<std::string> m_classFilter;
    std::unique_ptr<CCore> m_core;
    int m_resultCode = 0;
    int m_engineResult = DIVISION_RESULT_CANCELLED;
    bool m_resultSaved = false;
    QString m_statusText;
    bool m_started = false;
    bool m_finished = false;

    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;

    CWorkerBridge m_bridge{this};
};
