#include "gui/results/BalanceDialog.h"

#include "core/BalanceModel.h"
#include "core/BalanceReport.h"
#include "gui/common/DialogUnits.h"
#include "gui/common/MessageBox.h"
#include "gui/results/RunDialogLayout.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>

using DialogUnits::toPixels;

namespace {

const char* const kRunning = "正在进行均衡优化，请稍候...";
const char* const kDone = "均衡优化完成.";
const char* const kKeepQuestion =
    "均衡优化已停止。\n已经找到比原来更均衡的分班（总分平均分极差 %1 分，原来 %2 分）。\n\n"
    "要保留这个分班吗？选择“否”，各班学生保持原样。";

QString points(double value)
{
    return QString::fromStdString(CBalanceReport::Points(value)) + QStringLiteral(" 分");
}

QString people(int value)
{
    return QStringLiteral("%1 人").arg(value);
}

} // namespace

CBalanceDialog::CBalanceDialog(CScheduleTask& task, const CBalanceOptions& options, QWidget* parent)
    : QDialog(parent), m_optimizer(task)
{
    setWindowTitle(QStringLiteral("均衡优化"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    CBalanceOptions own = options;
    // On the worker: the figures go to the window, which shows them while
    // the search waits (ten times a second, a moment each).
    own.progress = [this](const CBalanceProgress& progress) {
        m_bridge.call([this, progress] { showProgress(progress); });
    };
    m_optimizer.SetOptions(own);

    m_figures = new QGridLayout;
    m_figures->setHorizontalSpacing(toPixels(12));
    m_figures->setVerticalSpacing(toPixels(3));
    const char* const names[RowCount] = {"各班之间的差距", "总分平均分极差", "单科平均分最大极差", "女生人数极差",
                                         "最大生源学校人数极差"};
    for (int row = 0; row < RowCount; ++row) {
        for (int column = 0; column < 3; ++column) {
            auto* label = new QLabel(this);
            label->setAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            m_figures->addWidget(label, row, column);
        }
        figure(row, 0)->setText(QString::fromUtf8(names[row]));
    }
    figure(Heading, 1)->setText(QStringLiteral("开始时"));
    figure(Heading, 2)->setText(QStringLiteral("目前最好"));
    m_figures->setColumnStretch(0, 1);
    m_figures->setColumnMinimumWidth(1, toPixels(60));
    m_figures->setColumnMinimumWidth(2, toPixels(60));

    const CRunDialogLayout controls(this, QString::fromUtf8(kRunning), m_figures);
    m_status = controls.status;
    m_progress = controls.progress;
    m_cancel = controls.cancel;
    QFont bold = figure(Heading, 0)->font();
    bold.setBold(true);
    for (int column = 0; column < 3; ++column)
        figure(Heading, column)->setFont(bold);
    // As wide as the division's dialog; the school's name may widen it.
    setMinimumWidth(toPixels(295));
    setFixedHeight(sizeHint().height());
}

CBalanceDialog::~CBalanceDialog()
{
    stopWorker();
}

QLabel* CBalanceDialog::figure(int row, int column) const
{
    QLayoutItem* item = m_figures->itemAtPosition(row, column);
    return item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
}

void CBalanceDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        startWorker();
    }
}

void CBalanceDialog::startWorker()
{
    std::promise<void> ended;
    m_workerDone = ended.get_future();
    m_worker = std::thread([this, ended = std::move(ended)]() mutable {
        m_optimizer.Run();
        m_bridge.call([this] { finish(); });
        ended.set_value();
    });
}

void CBalanceDialog::stopWorker()
{
    m_optimizer.Cancel();
    m_bridge.close();
    if (!m_worker.joinable())
        return;
    // Within a tenth of a second; the window goes on painting meanwhile.
    CWorkerBridge::waitUntilFree([this](int timeoutMs) {
        return m_workerDone.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready;
    });
    m_worker.join();
}

void CBalanceDialog::showProgress(const CBalanceProgress& progress)
{
    m_progress->setValue(static_cast<int>(std::clamp(progress.share, 0.0, 1.0) * 100.0));
    if (!m_haveStart) {
        // The first report is of the division as it was.
        m_haveStart = true;
        m_start = progress.spreads;
        showFigures(1, m_start);
        // The model is complete before the first report, and the worker
        // waits while this runs.
        if (const CBalanceModel* model = m_optimizer.GetModel(); model && m_start.largestSchool >= 0) {
            figure(LargestSchool, 0)
                ->setText(QStringLiteral("最大生源学校（%1）人数极差")
                              .arg(QString::fromStdString(model->GetSchoolName(m_start.largestSchool))));
        }
    }
    m_best = progress.spreads;
    showFigures(2, m_best);
}

void CBalanceDialog::showFigures(int column, const CBalanceSpreads& spreads)
{
    figure(Total, column)->setText(points(spreads.total));
    QString worst = QStringLiteral("—");
    const auto highest = std::max_element(spreads.subjects.begin(), spreads.subjects.end());
    if (highest != spreads.subjects.end()) {
        worst = points(*highest);
        const CBalanceModel* model = m_optimizer.GetModel();
        const auto index = static_cast<std::size_t>(highest - spreads.subjects.begin());
        if (model && index < model->GetSubjectNames().size())
            worst += QStringLiteral("（%1）").arg(QString::fromStdString(model->GetSubjectNames()[index]));
    }
    figure(WorstSubject, column)->setText(worst);
    figure(Girls, column)->setText(people(spreads.girls));
    figure(LargestSchool, column)
        ->setText(spreads.largestSchool >= 0 ? people(spreads.GetLargestSchoolSpread()) : QStringLiteral("—"));
}

void CBalanceDialog::finish()
{
    m_finished = true;
    m_status->setText(QString::fromUtf8(kDone));
    m_progress->setValue(100);
    // Leave the final state on screen for a moment, then close.
    repaint();
    QTimer::singleShot(kClosingPauseMs, this, [this] {
        if (isVisible() && !m_stopping)
            accept();
    });
}

void CBalanceDialog::done(int result)
{
    if (m_stopping && result == QDialog::Accepted)
        return; // a cancel is being handled
    if (!m_stopping) {
        m_stopping = true;
        stopWorker();
        m_keep = result == QDialog::Accepted && m_finished;
    }
    QDialog::done(result);
}

void CBalanceDialog::reject()
{
    if (m_stopping)
        return;
    m_stopping = true;
    m_status->setText(QStringLiteral("正在停止均衡优化..."));
    m_cancel->setEnabled(false);
    stopWorker();
    // The search kept its best division; it is worth a question only when
    // it differs from the division the search started from.
    const CBalanceResult& result = m_optimizer.GetResult();
    if (result.divided && result.movedStudents > 0) {
        m_asked = true;
        // Escape keeps the better division: the search cannot be resumed.
        m_keep = CMessageBox::questionKeeping(
            this, QString::fromUtf8(kKeepQuestion)
                      .arg(QString::fromStdString(CBalanceReport::Points(result.after.total)),
                           QString::fromStdString(CBalanceReport::Points(result.before.total))));
    }
    QDialog::done(QDialog::Rejected);
}
