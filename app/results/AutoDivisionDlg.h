#pragma once

#include "DivisionOwner.h"

#include <QDialog>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
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
// The engine calls Notify on its worker thread; the call is handed to the
// window thread and the worker waits until it has been handled, or until
// the run is being stopped, so stopping never waits on a worker that waits
// on the window.
class CAutoDivisionDlg : public QDialog, public CDivisionOwner
{
    Q_OBJECT

public:
    explicit CAutoDivisionDlg(CScheduleTask& task, QWidget* parent = nullptr);
    ~CAutoDivisionDlg() override;

    // Classes handed to the engine; empty for a division of every class.
    void setClassFilter(const std::vector<std::string>& classIds) { m_classFilter = classIds; }
    // The code of the engine's end notification; 0 when none arrived.
    int resultCode() const { return m_resultCode; }
    QString statusText() const { return m_statusText; }
    // True once the end notification has arrived.
    bool isFinished() const { return m_finished; }

    QLabel* statusLabel() const { return m_status; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* cancelButton() const { return m_cancel; }

    void Notify(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // How long the finished state stays on screen before the dialog closes.
    static constexpr int ClosingPauseMs = 500;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startEngine();
    // Releases a waiting worker, stops the engine and frees it.
    void stopEngine();
    void handleNotify(std::uintptr_t wParam, std::intptr_t lParam, const QString& text);

    CScheduleTask& m_task;
    std::vector<std::string> m_classFilter;
    std::unique_ptr<CCore> m_core;
    int m_resultCode = 0;
    QString m_statusText;
    bool m_started = false;
    bool m_finished = false;

    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;

    // Hand-over between the worker in Notify and the window thread.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopped = false;
    std::uint64_t m_posted = 0;
    std::uint64_t m_handled = 0;
    int m_inNotify = 0;
};
