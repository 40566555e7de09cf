#include "gui/import/ImportWizardDialog.h"

#include "gui/common/DialogUnits.h"
#include "gui/import/ImportReceiver.h"
#include "logic/session/SheetImport.h"
#include "gui/common/MessageBox.h"
#include "logic/import/SpreadsheetReader.h"
#include "gui/common/UICore.h"
#include "gui/import/WizardStepPanel.h"
#include "gui/common/WorkerBridge.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using DialogUnits::toPixels;

namespace {

const QString kStartText = QStringLiteral("开始导入吧");
const QString kStopText = QStringLiteral("取消");
// A stop within this time of the start is the second click of the click
// that started it.
constexpr qint64 kNoStopMs = 500;
// Rows go to the window in batches, the first small so that rows show at
// once; the window takes rows of a batch for at most kBusyMs at a time.
constexpr std::size_t kFirstBatch = 16;
constexpr std::size_t kLargestBatch = 1024;
constexpr int kBusyMs = 30;

// A picture file or resource; SVG pictures at their own size.
QPixmap LoadPicture(const QString& path)
{
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer renderer(path);
        if (!renderer.isValid())
            return {};
        QPixmap pixmap(renderer.defaultSize());
        pixmap.fill(Qt::white);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        return pixmap;
    }
    return QPixmap(path);
}

} // namespace

// One import: the worker, its bridge to the window, and how it ended.
struct CImportWizardDialog::Run
{
    Run(QObject* window, int serial, std::string headerName)
        : bridge(window), serial(serial), headerName(std::move(headerName))
    {
    }

    CWorkerBridge bridge;
    const int serial; // tells this import from a later one
    const std::string headerName;
    // Set by the window when it stops the import; the worker looks at it
    // before each row.
    std::atomic<bool> cancelRequested = false;
    std::thread worker;

    // The receiver's answer to the last row; written on the window thread
    // while the worker waits for it.
    RowRequest answer;

    // Record rows below the header, set by the worker once the file is
    // open.
    std::atomic<int> total = 0;

    // Written by the worker before it ends.
    bool succeeded = false;
    std::string error;

    std::mutex mutex;
    std::condition_variable endedChanged;
    bool ended = false; // the worker has let go of the file and of the window

    bool waitEnded(int timeoutMs)
    {
        std::unique_lock lock(mutex);
        return endedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return ended; });
    }
};

CImportWizardDialog::CImportWizardDialog(CImportReceiver& receiver, QWidget* parent)
    : QDialog(parent), m_receiver(receiver)
{
    setWindowTitle(QStringLiteral("导入"));
    setObjectName(QStringLiteral("importWizard"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto* sample = new CWizardStepPanel(QStringLiteral("1 准备好如下格式的EXCEL文件:"), this);
    m_pictureLabel = new QLabel(sample);
    m_pictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pictureLabel->setAutoFillBackground(true);
    sample->contentLayout()->addWidget(m_pictureLabel, 1);
    for (const char* line :
         {"1 第一行为列名，第二行开始为学生数据。", "2 姓名列必填。其他列（如性别、原学校等）如不需要可以省略。",
          "2 用于分班依据的考试成绩，其科目名称可以自定义，列名前加星号（*）作为标识。"})
        sample->contentLayout()->addWidget(new QLabel(QString::fromUtf8(line), sample));

    auto* choose = new CWizardStepPanel(QStringLiteral("2 点击下面的按钮，选择要导入的EXCEL文件"), this);
    m_chooseButton = new QPushButton(QStringLiteral("选择EXCEL文件"), choose);
    m_pathEdit = new QLineEdit(choose);
    m_pathEdit->setReadOnly(true);
    auto* chooseRow = new QHBoxLayout;
    chooseRow->addWidget(m_chooseButton);
    chooseRow->addWidget(m_pathEdit, 1);
    choose->contentLayout()->addLayout(chooseRow);

    auto* import = new CWizardStepPanel(QStringLiteral("3 点击下面的按钮，开始导入"), this);
    m_startButton = new QPushButton(kStartText, import);
    m_progress = new QProgressBar(import);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    auto* importRow = new QHBoxLayout;
    importRow->addWidget(m_startButton);
    importRow->addWidget(m_progress, 1);
    import->contentLayout()->addLayout(importRow);

    m_closeButton = new QPushButton(QStringLiteral("关闭"), this);
    for (QPushButton* button : {m_chooseButton, m_startButton, m_closeButton}) {
        button->setMinimumSize(toPixels(70), toPixels(14));
        button->setAutoDefault(false);
    }
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(toPixels(7), toPixels(7), toPixels(7), toPixels(7));
    layout->setSpacing(toPixels(5));
    layout->addWidget(sample, 1);
    layout->addWidget(choose);
    layout->addWidget(import);
    layout->addLayout(closeRow);

    connect(m_chooseButton, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(m_startButton, &QPushButton::clicked, this, [this] { startOrStop(); });
    connect(m_closeButton, &QPushButton::clicked, this, [this] { reject(); });

    CUICore::instance()->SetAllChildWindowFont(this);
    // 418 × 275 dialog units.
    setMinimumWidth(toPixels(418));
}

CImportWizardDialog::~CImportWizardDialog()
{
    stop();
}

void CImportWizardDialog::setTitle(const QString& title)
{
    setWindowTitle(title);
}

void CImportWizardDialog::setSamplePicture(const QString& path)
{
    m_picture = LoadPicture(path);
    m_pictureLabel->setPixmap(m_picture);
    m_pictureLabel->setMinimumSize(m_picture.size());
}

bool CImportWizardDialog::IsExistingFile(const QString& path)
{
    return QFileInfo(path).isFile();
}

void CImportWizardDialog::chooseFile()
{
    // The folder of the file chosen before, if any.
    const QString chosen = m_pathEdit->text();
    const QString path = CMessageBox::getOpenFileName(this, QStringLiteral("选择EXCEL文件"),
                                                      chosen.isEmpty() ? QString() : QFileInfo(chosen).path(),
                                                      QStringLiteral("Excel 文件 (*.xlsx *.xls *.csv)"));
    if (!path.isEmpty())
        m_pathEdit->setText(path);
}

void CImportWizardDialog::startOrStop()
{
    if (isRunning()) {
        if (m_started.elapsed() < kNoStopMs)
            return;
        if (std::unique_ptr<Run> run = stop())
            settle(*run, QString());
        return;
    }
    const QString path = m_pathEdit->text();
    if (path.isEmpty()) {
        CMessageBox::information(this, QStringLiteral("请选择要导入的EXCEL文件"));
        m_chooseButton->setFocus();
        return;
    }
    if (!IsExistingFile(path)) {
        CMessageBox::information(this, path + QStringLiteral("\n文件不存在"));
        return;
    }
    start(path);
}

void CImportWizardDialog::start(const QString& path)
{
    m_filePath = path;
    m_startButton->setText(kStopText);
    m_progress->setValue(0);
    m_receiver.BeginImport();
    m_rowsBefore = m_receiver.rowCount();
    m_started.start();
    m_run = std::make_unique<Run>(this, ++m_runs, m_headerName);
    Run* run = m_run.get();
    run->worker = std::thread([this, run, file = path.toStdString()] { read(run, file); });
}

std::unique_ptr<CImportWizardDialog::Run> CImportWizardDialog::stop()
{
    if (!m_run)
        return nullptr;
    std::unique_ptr<Run> run = std::move(m_run);
    run->cancelRequested = true;
    // A worker waiting for the window goes on at once and stops at its next
    // row; one still opening the file stops when that is done.
    run->bridge.close();
    CWorkerBridge::waitUntilFree([&run](int timeoutMs) { return run->waitEnded(timeoutMs); });
    run->worker.join();
    showIdle();
    return run;
}

void CImportWizardDialog::settle(const Run& run, const QString& failure)
{
    const QString ended = failure.isEmpty() ? QStringLiteral("导入已停止") : QStringLiteral("导入未完成");
    const int rows = rowsTaken();
    const QString taken =
        QStringLiteral("%1：表格的 %2 行数据中已导入 %3 行。").arg(ended).arg(run.total.load()).arg(rows);
    if (rows == 0) {
        // Nothing to keep; the header may have changed the columns.
        m_receiver.UndoImport();
        if (failure.isEmpty())
            CMessageBox::information(this, taken);
        else
            CMessageBox::error(this, failure);
        return;
    }
    const QString question = (failure.isEmpty() ? QString() : failure + QStringLiteral("\n\n")) + taken
                             + QStringLiteral("要保留已导入的%1吗？").arg(m_recordName);
    if (!CMessageBox::questionKeeping(this, question))
        m_receiver.UndoImport();
}

void CImportWizardDialog::showIdle()
{
    m_startButton->setText(kStartText);
    m_progress->setValue(0);
}

void CImportWizardDialog::reject()
{
    if (isRunning() && !CMessageBox::question(this, QStringLiteral("正在导入数据中, 要立即退出吗?")))
        return;
    if (std::unique_ptr<Run> run = stop())
        settle(*run, QString());
    QDialog::reject();
}

// ---------------------------------------------------------------------------
// The worker.

bool CImportWizardDialog::handOver(Run* run, RowMode mode, std::vector<CSheetImport::Row>& rows, RowRequest& answer)
{
    if (run->cancelRequested)
        return false;
    std::size_t taken = 0;
    const bool handed = run->bridge.call([this, run, serial = run->serial, mode, &rows, &taken] {
        // Rows until the batch is done or the window has been busy for a
        // moment; the rest comes back in the next call, after the window has
        // seen to its events (a click on stop among them).
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMs);
        m_receiver.BeginRows();
        struct RowsEnd
        {
            CImportReceiver& receiver;
            ~RowsEnd() { receiver.EndRows(); }
        } rowsEnd{m_receiver};
        while (taken < rows.size()) {
            // Stopped (from within the receiver, or by the window): not one row more.
            if (!isCurrent(serial) || run->cancelRequested)
                return;
            const CSheetImport::Row& row = rows[taken++];
            RowRequest request;
            request.quiet = true;
            request.mode = mode;
            m_receiver.SubmitRow(request, row.cells);
            if (!isCurrent(serial))
                return;
            run->answer = request;
            if (row.percent >= 0)
                m_progress->setValue(row.percent);
            if ((!request.accepted && !request.message.empty()) || std::chrono::steady_clock::now() >= until)
                return;
        }
    });
    // Stopped while the rows were on their way: the answer is not ours to read.
    if (!handed || run->cancelRequested)
        return false;
    rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(taken));
    answer = run->answer;
    return true;
}

void CImportWizardDialog::read(Run* run, const std::string& path)
{
    CSpreadsheetReader reader;
    reader.SetHeaderName(run->headerName);
    std::string error;
    bool stopped = false;
    const bool opened = reader.Open(path);
    if (opened)
        run->total = std::max(reader.GetRowCount() - 1, 0);
    if (!opened) {
        error = reader.GetFailureText();
    } else {
        const CSheetImport::Result fed = CSheetImport::FeedInBatches(
            reader,
            [this, run](RowMode mode, std::vector<CSheetImport::Row>& rows, RowRequest& answer) {
                return handOver(run, mode, rows, answer);
            },
            kFirstBatch, kLargestBatch);
        stopped = fed.outcome == CSheetImport::Outcome::Stopped;
        error = fed.error;
    }
    reader.Close();

    if (!stopped) {
        run->succeeded = error.empty();
        run->error = std::move(error);
        // The window finishes the run once this call has returned.
        run->bridge.call(
            [this, serial = run->serial] { QTimer::singleShot(0, this, [this, serial] { finishRun(serial); }); });
    }
    {
        std::lock_guard lock(run->mutex);
        run->ended = true;
    }
    run->endedChanged.notify_all();
}

int CImportWizardDialog::rowsTaken() const
{
    return std::max(m_receiver.rowCount() - m_rowsBefore, 0);
}

bool CImportWizardDialog::isCurrent(int serial) const
{
    return m_run && m_run->serial == serial;
}

void CImportWizardDialog::finishRun(int serial)
{
    if (!isCurrent(serial)) // stopped meanwhile
        return;
    std::unique_ptr<Run> ended = std::move(m_run);
    CWorkerBridge::waitUntilFree([&ended](int timeoutMs) { return ended->waitEnded(timeoutMs); });
    ended->worker.join();
    if (ended->succeeded && rowsTaken() == 0) {
        // An empty sheet never empties the list.
        m_receiver.UndoImport();
        CMessageBox::information(this, QStringLiteral("表格中没有可导入的%1，列表保持原样。").arg(m_recordName));
        showIdle();
        return;
    }
    if (ended->succeeded) {
        m_progress->setValue(100);
        const QString note = m_receiver.ImportNote();
        const QString done =
            QStringLiteral("导入成功，共导入 %1 %2%3。").arg(rowsTaken()).arg(m_recordUnit, m_recordName);
        CMessageBox::information(this, note.isEmpty() ? done : done + QLatin1Char('\n') + note);
        accept();
        return;
    }
    showIdle();
    settle(*ended, QString::fromStdString(ended->error));
}
