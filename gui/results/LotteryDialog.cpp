#include "gui/results/LotteryDialog.h"

#include "base/task/ScheduleTask.h"
#include "gui/common/DialogUnits.h"
#include "gui/common/FolderAccess.h"
#include "gui/common/MessageBox.h"
#include "gui/render/LotteryCertificate.h"
#include "gui/results/DivisionCommands.h"
#include "gui/results/DivisionTableDialog.h"
#include "logic/lottery/LotteryDraw.h"
#include "logic/lottery/LotteryRun.h"
#include "logic/lottery/LotterySeed.h"
#include "logic/lottery/LotteryVerification.h"
#include "logic/lottery/TeacherDrawRun.h"

#include <QDir>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

using DialogUnits::toPixels;

namespace {

const char* const kIntro =
    "用公开抽取的数字（骰子、摇号球或密封信封，至少 6 位）作种子分班，再按固定的搜索步数均衡优化。"
    "同一数据、同一种子、同一步数，在任何电脑上都得到同一分班结果，任何人都可以用“验证”核对。";
const char* const kNoSeed = "——";

// The digits in groups of three, as they are read out.
QString spaced(const QString& digits)
{
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && i % 3 == 0)
            out += QLatin1Char(' ');
        out += digits[i];
    }
    return out;
}

} // namespace

CLotteryDialog::CLotteryDialog(CScheduleTask& task, const QString& school, QWidget* parent)
    : QDialog(parent), m_task(task), m_school(school)
{
    setWindowTitle(QStringLiteral("摇号分班"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* intro = new QLabel(QString::fromUtf8(kIntro), this);
    intro->setWordWrap(true);

    m_seed = new QLineEdit(this);
    m_seed->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,64}")), m_seed));
    m_seed->setPlaceholderText(QStringLiteral("至少 6 位数字"));
    m_drawSeed = new QPushButton(QStringLiteral("随机生成"), this);
    auto* seedRow = new QHBoxLayout;
    seedRow->addWidget(m_seed, 1);
    seedRow->addWidget(m_drawSeed);
    m_work = new QLineEdit(QString::number(CLotteryDraw::kDefaultWork), this);
    m_work->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,10}")), m_work));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("摇号种子："), seedRow);
    form->addRow(QStringLiteral("搜索步数："), m_work);

    // The seed in large type, to be read out and written down.
    m_banner = new QLabel(QString::fromUtf8(kNoSeed), this);
    m_banner->setAlignment(Qt::AlignCenter);
    QFont big = m_banner->font();
    big.setPointSize(28);
    big.setBold(true);
    m_banner->setFont(big);
    m_banner->setFrameShape(QFrame::Box);
    m_banner->setMinimumHeight(toPixels(36));
    m_banner->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_status = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    m_record = new QPlainTextEdit(this);
    m_record->setReadOnly(true);
    m_record->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_record->setMinimumHeight(toPixels(120));

    m_start = new QPushButton(QStringLiteral("开始摇号"), this);
    m_verify = new QPushButton(QStringLiteral("验证"), this);
    m_print = new QPushButton(QStringLiteral("打印公证记录"), this);
    m_pdf = new QPushButton(QStringLiteral("保存为 PDF"), this);
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_start->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addWidget(m_verify);
    buttons->addWidget(m_print);
    buttons->addWidget(m_pdf);
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    // The head-teacher draw, after the division.
    auto* teacherBox = new QGroupBox(QStringLiteral("班主任抽签"), this);
    m_teacherSeed = new QLineEdit(teacherBox);
    m_teacherSeed->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,64}")), m_teacherSeed));
    m_teacherSeed->setPlaceholderText(QStringLiteral("至少 6 位数字"));
    m_drawTeacherSeed = new QPushButton(QStringLiteral("随机生成"), teacherBox);
    m_teacherDraw = new QPushButton(QStringLiteral("开始抽签"), teacherBox);
    m_teachers = new QPlainTextEdit(teacherBox);
    m_teachers->setPlaceholderText(QStringLiteral("班主任名单，每行一人；与班级数相同"));
    m_teachers->setTabChangesFocus(true);
    m_teachers->setMaximumHeight(toPixels(48));
    std::string named;
    for (const std::string& teacher : CTeacherDraw::TeachersOf(m_task))
        named += teacher + "\n";
    m_teachers->setPlainText(QString::fromStdString(named));
    auto* teacherSeedRow = new QHBoxLayout;
    teacherSeedRow->addWidget(m_teacherSeed, 1);
    teacherSeedRow->addWidget(m_drawTeacherSeed);
    teacherSeedRow->addWidget(m_teacherDraw);
    auto* teacherForm = new QFormLayout(teacherBox);
    teacherForm->addRow(QStringLiteral("抽签种子："), teacherSeedRow);
    teacherForm->addRow(QStringLiteral("班主任："), m_teachers);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_banner);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(m_record, 1);
    layout->addWidget(teacherBox);
    layout->addLayout(buttons);
    setMinimumWidth(toPixels(330));

    connect(m_seed, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_seedDrawn = false;
        showSeed(text);
    });
    connect(m_drawSeed, &QPushButton::clicked, this, [this] {
        const QString digits = QString::fromStdString(CLotterySeed::Draw());
        m_seed->setText(digits);
        m_seedDrawn = true;
        showSeed(digits);
    });
    connect(m_teacherSeed, &QLineEdit::textEdited, this, &CLotteryDialog::showSeed);
    connect(m_drawTeacherSeed, &QPushButton::clicked, this, [this] {
        const QString digits = QString::fromStdString(CLotterySeed::Draw());
        m_teacherSeed->setText(digits);
        showSeed(digits);
    });
    connect(m_teacherDraw, &QPushButton::clicked, this, &CLotteryDialog::drawTeachers);
    connect(m_start, &QPushButton::clicked, this, &CLotteryDialog::startDraw);
    connect(m_verify, &QPushButton::clicked, this, &CLotteryDialog::verify);
    connect(m_print, &QPushButton::clicked, this, &CLotteryDialog::printCertificate);
    connect(m_pdf, &QPushButton::clicked, this, &CLotteryDialog::saveCertificate);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    loadRecord();
    updateButtons();
}

CLotteryDialog::~CLotteryDialog()
{
    m_bridge.close();
    if (m_worker.joinable()) {
        CWorkerBridge::waitUntilFree([this](int timeoutMs) {
            return m_workerDone.wait_for(std::chrono::milliseconds(timeoutMs)) == std::future_status::ready;
        });
        m_worker.join();
    }
}

void CLotteryDialog::showSeed(const QString& digits)
{
    m_banner->setText(digits.isEmpty() ? QString::fromUtf8(kNoSeed) : spaced(digits));
}

void CLotteryDialog::loadRecord()
{
    std::string inputText;
    m_haveRecord = CLotteryRecord::Load(m_task.GetTaskInfo().GetTaskFolder(), m_lastRecord, inputText)
                   == CLotteryRecord::LoadResult::Loaded;
    if (m_haveRecord) {
        m_record->setPlainText(QString::fromStdString(m_lastRecord.Text()));
        m_status->setText(QStringLiteral("任务文件夹中有一次摇号的记录（%1）。")
                              .arg(QString::fromStdString(m_lastRecord.time)));
    } else {
        m_status->setText(QStringLiteral("输入种子后点击“开始摇号”。"));
    }
}

void CLotteryDialog::updateButtons()
{
    m_seed->setEnabled(!m_running);
    m_drawSeed->setEnabled(!m_running);
    m_work->setEnabled(!m_running);
    m_start->setEnabled(!m_running);
    m_verify->setEnabled(!m_running && m_haveRecord);
    m_print->setEnabled(!m_running && m_haveRecord);
    m_pdf->setEnabled(!m_running && m_haveRecord);
    m_close->setEnabled(!m_running);
    for (QWidget* widget : {static_cast<QWidget*>(m_teacherSeed), static_cast<QWidget*>(m_drawTeacherSeed),
                            static_cast<QWidget*>(m_teachers), static_cast<QWidget*>(m_teacherDraw)})
        widget->setEnabled(!m_running && m_haveRecord);
}

bool CLotteryDialog::canSave(const QString& what)
{
    if (!m_task.IsReadOnly() && CFolderAccess::canWriteIn(m_task.GetTaskInfo().GetTaskFolder()))
        return true;
    CMessageBox::show(this,
                      QStringLiteral("%1不能保存：").arg(what) + CDivisionCommands::unsavedReason(m_task)
                          + QStringLiteral("\n\n没有抽取，任务没有改变。"),
                      CMessageBox::Icon::Error);
    return false;
}

void CLotteryDialog::startDraw()
{
    if (m_running)
        return;
    const std::string seed = m_seed->text().toStdString();
    if (const std::string problem = CLotterySeed::Problem(seed); !problem.empty()) {
        CMessageBox::show(this, QString::fromStdString(problem), CMessageBox::Icon::Warning);
        m_seed->setFocus();
        return;
    }
    std::uint64_t work = 0;
    if (const std::string problem = CLotteryDraw::WorkProblem(m_work->text().toStdString(), work);
        !problem.empty()) {
        CMessageBox::show(this, QString::fromStdString(problem), CMessageBox::Icon::Warning);
        m_work->setFocus();
        return;
    }
    showSeed(m_seed->text());
    // Refused before the seed is read out: a public draw whose result
    // cannot be kept would have to be held again.
    if (!canSave(QStringLiteral("摇号分班的结果")))
        return;
    if (CDivisionTableDialog::hasDivision(m_task)
        && !CMessageBox::question(this, QStringLiteral("该任务已经分班。摇号分班将重新分班，替换现有的分班结果。\n\n继续吗？")))
        return;
    if (!CMessageBox::question(this, QStringLiteral("摇号种子：%1\n搜索步数：%2\n\n请宣读并记下种子，然后开始摇号。开始吗？")
                                         .arg(spaced(m_seed->text()))
                                         .arg(work)))
        return;

    m_run = std::make_unique<CLotteryRun>(m_task, seed, m_seedDrawn, work);
    if (const CLotteryRun::Result prepared = m_run->Prepare(); prepared != CLotteryRun::Result::Done) {
        CMessageBox::show(this, QString::fromStdString(CLotteryRun::Problem(prepared)), CMessageBox::Icon::Error);
        m_run.reset();
        return;
    }
    if (m_worker.joinable())
        m_worker.join(); // the last draw's worker, long finished
    m_running = true;
    updateButtons();
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("正在摇号分班（种子 %1），请稍候...").arg(m_seed->text()));

    std::promise<void> ended;
    m_workerDone = ended.get_future();
    CLotteryRun* run = m_run.get();
    m_worker = std::thread([this, run, ended = std::move(ended)]() mutable {
        run->Draw([this](double share) {
            m_bridge.call([this, share] { m_progress->setValue(static_cast<int>(std::clamp(share, 0.0, 1.0) * 100)); });
        });
        m_bridge.call([this] { finishDraw(); });
        ended.set_value();
    });
}

void CLotteryDialog::finishDraw()
{
    const CLotteryRun::Result result = m_run->Finish();
    m_running = false;
    m_progress->setValue(100);
    switch (result) {
    case CLotteryRun::Result::Done:
    case CLotteryRun::Result::Unplaced:
    case CLotteryRun::Result::RecordNotSaved:
    case CLotteryRun::Result::DataNotSaved:
        m_drawn = true;
        m_lastRecord = m_run->GetRecord();
        // Without its record on disk the division has no certificate: the
        // one there, if any, describes an earlier draw.
        m_haveRecord = result == CLotteryRun::Result::Done || result == CLotteryRun::Result::Unplaced;
        m_record->setPlainText(QString::fromStdString(m_lastRecord.Text()));
        break;
    default: break;
    }
    switch (result) {
    case CLotteryRun::Result::Done: m_status->setText(QStringLiteral("摇号分班完成，记录已保存。")); break;
    case CLotteryRun::Result::Unplaced:
        m_status->setText(QStringLiteral("摇号分班完成，记录已保存；有学生未能分班，详见报告。"));
        break;
    case CLotteryRun::Result::Refused:
        m_status->setText(QString::fromStdString(CLotteryRun::Problem(result)));
        m_record->setPlainText(QString::fromStdString(m_run->GetReport()));
        CMessageBox::show(this, QString::fromStdString(CLotteryRun::Problem(result)), CMessageBox::Icon::Warning);
        break;
    default:
        m_status->setText(QString::fromStdString(CLotteryRun::Problem(result)));
        CMessageBox::show(this, QString::fromStdString(CLotteryRun::Problem(result)), CMessageBox::Icon::Error);
        break;
    }
    if (result == CLotteryRun::Result::DataNotSaved)
        m_task.SetDirty(true);
    updateButtons();
}

void CLotteryDialog::verify()
{
    const CLotteryVerification::Result result = CLotteryVerification::Verify(m_task);
    const QString text = QString::fromStdString(
        result.outcome == CLotteryVerification::Outcome::Consistent
                || result.outcome == CLotteryVerification::Outcome::Inconsistent
            ? CLotteryVerification::Text(result)
            : result.message);
    m_status->setText(result.outcome == CLotteryVerification::Outcome::Consistent ? QStringLiteral("验证：一致")
                                                                                  : QStringLiteral("验证：不一致"));
    CMessageBox::show(this, text.trimmed(),
                      result.outcome == CLotteryVerification::Outcome::Consistent ? CMessageBox::Icon::Information
                                                                                  : CMessageBox::Icon::Warning);
}

void CLotteryDialog::printCertificate()
{
    if (m_haveRecord)
        CLotteryCertificate::printWithDialog(this, m_lastRecord, m_school);
}

void CLotteryDialog::saveCertificate()
{
    if (!m_haveRecord)
        return;
    const QString folder = QString::fromStdString(m_task.GetTaskInfo().GetTaskFolder());
    const QString path = CMessageBox::getSaveFileName(this, QStringLiteral("保存分班公证记录"),
                                                      QDir(folder).filePath(QStringLiteral("分班公证记录.pdf")),
                                                      QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!CLotteryCertificate::writePdf(m_lastRecord, m_school, path))
        CMessageBox::error(this, QStringLiteral("无法写入 PDF 文件 %1").arg(QDir::toNativeSeparators(path)));
    else
        m_status->setText(QStringLiteral("分班公证记录已保存到 %1").arg(QDir::toNativeSeparators(path)));
}

void CLotteryDialog::drawTeachers()
{
    if (m_running || !m_haveRecord)
        return;
    const std::string seed = m_teacherSeed->text().toStdString();
    if (const std::string problem = CLotterySeed::Problem(seed); !problem.empty()) {
        CMessageBox::show(this, QString::fromStdString(problem), CMessageBox::Icon::Warning);
        m_teacherSeed->setFocus();
        return;
    }
    showSeed(m_teacherSeed->text());
    std::optional<std::vector<std::string>> teachers;
    if (!m_teachers->toPlainText().trimmed().isEmpty())
        teachers = CTeacherDraw::ParseTeacherList(m_teachers->toPlainText().toStdString());
    CTeacherDrawRun run(m_task);
    if (const CTeacherDrawRun::Result prepared = run.Prepare(std::move(teachers));
        prepared != CTeacherDrawRun::Result::Ready) {
        CMessageBox::show(this, QString::fromStdString(run.Problem(prepared)), CMessageBox::Icon::Warning);
        return;
    }
    if (!canSave(QStringLiteral("班主任抽签的结果")))
        return;
    if (!CMessageBox::question(this, QStringLiteral("班主任抽签种子：%1\n\n请宣读并记下种子，然后开始抽签。开始吗？")
                                         .arg(spaced(m_teacherSeed->text()))))
        return;

    const CTeacherDrawRun::Result result = run.Finish(seed);
    m_drawn = true;
    // The certificate stays the record on disk, the one verify reads.
    if (result == CTeacherDrawRun::Result::Done)
        m_lastRecord = run.GetRecord();
    if (result == CTeacherDrawRun::Result::DataNotSaved)
        m_task.SetDirty(true);
    m_record->setPlainText(QString::fromStdString(run.GetRecord().Text()));
    m_record->moveCursor(QTextCursor::End); // the draw is the record's last part
    if (result == CTeacherDrawRun::Result::Done) {
        m_status->setText(QStringLiteral("班主任抽签完成，已写入各班并加入记录。"));
    } else {
        m_status->setText(QString::fromStdString(run.Problem(result)));
        CMessageBox::show(this, QString::fromStdString(run.Problem(result)), CMessageBox::Icon::Error);
    }
}

void CLotteryDialog::done(int result)
{
    if (m_running)
        return; // the draw cannot be stopped; it ends within seconds
    QDialog::done(result);
}
