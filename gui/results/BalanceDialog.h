#pragma once

#include "core/BalanceOptimizer.h"
#include "gui/common/WorkerBridge.h"

#include <QDialog>
#include <QString>

#include <future>
#include <thread>

class CScheduleTask;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;

// "均衡优化": hosts one balancing of the task. The search runs on a worker
// thread of the dialog; the window shows how much of the time is used and,
// as the search goes, how far apart the classes of the best division so
// far are, beside the figures it started from. When the search ends the
// final state stays up a moment and the dialog closes by itself.
//
// "取消" (or the close box, or Escape) stops the search and, when it has
// found a more even division, asks whether to keep it.
//
// The worker reports over a worker bridge, which the dialog closes before
// it stops and joins the worker; the dialog never closes while the worker
// still reads the task, and its destructor joins the worker as well. The
// division found is not written into the task here: after the dialog has
// closed, the caller applies the optimiser's result when keepsResult().
class CBalanceDialog : public QDialog
{
    Q_OBJECT

public:
    // options: the time budget (or, for tests, a number of steps) and seed;
    // its progress callback is the dialog's own.
    CBalanceDialog(CScheduleTask& task, const CBalanceOptions& options, QWidget* parent = nullptr);
    ~CBalanceDialog() override;

    // The search ended by itself (its time was up, or nothing was left to gain).
    bool isFinished() const { return m_finished; }
    // After the dialog has closed: whether the best division found is to be
    // written into the task: the search ended by itself, or the user chose
    // to keep what it had found when cancelling.
    bool keepsResult() const { return m_keep; }
    // Whether the user was asked to keep the division found so far.
    bool askedToKeep() const { return m_asked; }
    // After the dialog has closed, the optimiser with its result and model.
    CBalanceOptimizer& optimizer() { return m_optimizer; }

    // The figures as the search started and of the best division so far;
    // empty (no subjects, -1 school) until the first report arrives.
    const CBalanceSpreads& startSpreads() const { return m_start; }
    const CBalanceSpreads& bestSpreads() const { return m_best; }

    QLabel* statusLabel() const { return m_status; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The figures' table: row 0 the headings, then total, worst subject,
    // girls and the largest school; column 0 the names, 1 the start, 2 the
    // best so far.
    QLabel* figure(int row, int column) const;

    // How long the finished state stays on screen before the dialog closes.
    static constexpr int kClosingPauseMs = 500;

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum Row
    {
        Heading,
        Total,
        WorstSubject,
        Girls,
        LargestSchool,
        RowCount
    };

    void startWorker();
    // Stops the search, releases the worker if it waits for the window and
    // waits until it has ended.
    void stopWorker();
    void showProgress(const CBalanceProgress& progress);
    void showFigures(int column, const CBalanceSpreads& spreads);
    void finish();

    CBalanceOptimizer m_optimizer;
    CBalanceSpreads m_start;
    CBalanceSpreads m_best;
    bool m_started = false;
    bool m_haveStart = false;
    bool m_finished = false;
    bool m_stopping = false;
    bool m_asked = false;
    bool m_keep = false;

    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QGridLayout* m_figures = nullptr;

    CWorkerBridge m_bridge{this};
    std::thread m_worker;
    std::future<void> m_workerDone;
};
