// The lottery window of step page "4 自动分班" and the certificate: a bad
// seed refused, a draw run on the worker and saved with its record, the
// verification before and after a score changed, the certificate as a PDF.
#include "PdfTestSupport.h"

#include "Cohort.h"
#include "base/records/StudentInfo.h"
#include "base/task/ScheduleTask.h"
#include "gui/common/MessageBox.h"
#include "base/records/ClassInfo.h"
#include "gui/render/LotteryCertificate.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/results/LotteryDialog.h"
#include "logic/lottery/LotteryRecord.h"
#include "logic/lottery/LotterySeed.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class LotteryWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CMessageBox::clearTestState();
        ASSERT_TRUE(folder.isValid());
        CTaskInfo info;
        info.SetTaskName("摇号测试");
        info.SetTaskFolder(QDir::toNativeSeparators(folder.path()).toStdString());
        ASSERT_TRUE(info.WriteToFile());
        task.SetTaskInfo(info);
        task.SetMessageHandler([](const std::string&) {});
        testsupport::CohortOptions cohort;
        cohort.students = 120;
        cohort.classes = 4;
        cohort.subjects = 3;
        testsupport::FillCohort(task, cohort);
        ASSERT_TRUE(task.SaveInputData());
    }

    void TearDown() override { CMessageBox::clearTestState(); }

    std::string Folder() const { return task.GetTaskInfo().GetTaskFolder(); }

    // Types the seed and the work and starts; true when the draw ran to its end.
    bool Draw(CLotteryDialog& dialog, const QString& seed, const QString& work = QStringLiteral("2000"))
    {
        dialog.seedEdit()->clear();
        QTest::keyClicks(dialog.seedEdit(), seed);
        dialog.workEdit()->setText(work);
        dialog.startButton()->click();
        if (!dialog.isRunning())
            return false;
        return QTest::qWaitFor([&] { return !dialog.isRunning(); }, 60000);
    }

    QTemporaryDir folder;
    CScheduleTask task;
};

TEST_F(LotteryWindowTest, ASeedOfTooFewDigitsIsRefusedAndTheTaskStaysAsItWas)
{
    CLotteryDialog dialog(task, QStringLiteral("育才中学"));
    EXPECT_FALSE(dialog.verifyButton()->isEnabled());
    EXPECT_FALSE(Draw(dialog, QStringLiteral("12345")));
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QString::fromStdString(CLotterySeed::Problem("12345"))});
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(CLotteryRecord::PathIn(Folder()))));
    // The field takes digits only.
    dialog.seedEdit()->clear();
    QTest::keyClicks(dialog.seedEdit(), QStringLiteral("12a4"));
    EXPECT_EQ(dialog.seedEdit()->text(), QStringLiteral("124"));
}

TEST_F(LotteryWindowTest, ADrawIsSavedWithItsRecordAndVerifiesUntilAScoreChanges)
{
    CLotteryDialog dialog(task, QStringLiteral("育才中学"));
    QTest::keyClicks(dialog.seedEdit(), QStringLiteral("2026121"));
    // The seed stands in large type as it is typed, in groups of three.
    EXPECT_EQ(dialog.seedBanner()->text(), QStringLiteral("202 612 1"));
    dialog.seedEdit()->clear();

    CMessageBox::pushAnswer(QMessageBox::Yes); // read out, start
    ASSERT_TRUE(Draw(dialog, QStringLiteral("20261210")));
    EXPECT_TRUE(dialog.hasDrawn());
    const QStringList shown = CMessageBox::shownTexts();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("202 612 10"))) << shown[0].toStdString();

    CLotteryRecord record;
    std::string inputText;
    ASSERT_EQ(CLotteryRecord::Load(Folder(), record, inputText), CLotteryRecord::LoadResult::Loaded);
    EXPECT_EQ(record.seed, "20261210");
    EXPECT_EQ(record.work, 2000u);
    EXPECT_FALSE(record.seedDrawn);
    EXPECT_TRUE(dialog.recordView()->toPlainText().contains(QString::fromStdString(record.resultDigest)));
    EXPECT_TRUE(dialog.verifyButton()->isEnabled());

    CMessageBox::clearTestState();
    dialog.verifyButton()->click();
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(CMessageBox::shownTexts()[0].startsWith(QStringLiteral("一致"))) << CMessageBox::shownTexts()[0].toStdString();

    // One score changed after the draw: the student is named.
    auto* student = static_cast<CStudentInfo*>(task.GetStudentInfoList().begin()->object.get());
    student->GetScoreArray()[0] = "0.5";
    CMessageBox::clearTestState();
    dialog.verifyButton()->click();
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    const QString verdict = CMessageBox::shownTexts()[0];
    EXPECT_TRUE(verdict.startsWith(QStringLiteral("不一致"))) << verdict.toStdString();
    EXPECT_TRUE(verdict.contains(QString::fromStdString(student->GetName()))) << verdict.toStdString();

    // A second draw on the divided task asks first; No leaves it as it was.
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::No);
    EXPECT_FALSE(Draw(dialog, QStringLiteral("99999999")));
    CLotteryRecord again;
    ASSERT_EQ(CLotteryRecord::Load(Folder(), again, inputText), CLotteryRecord::LoadResult::Loaded);
    EXPECT_EQ(again, record);
}

TEST_F(LotteryWindowTest, TheCertificateCarriesEverythingToCheckAndToSign)
{
    CLotteryDialog dialog(task, QStringLiteral("育才中学"));
    CMessageBox::pushAnswer(QMessageBox::Yes);
    ASSERT_TRUE(Draw(dialog, QStringLiteral("31415926")));
    CLotteryRecord record;
    std::string inputText;
    ASSERT_EQ(CLotteryRecord::Load(Folder(), record, inputText), CLotteryRecord::LoadResult::Loaded);

    const QString pdf = QDir(folder.path()).filePath(QStringLiteral("公证记录.pdf"));
    CMessageBox::pushPath(pdf);
    dialog.pdfButton()->click();
    ASSERT_TRUE(QFileInfo::exists(pdf));
    const QString text = PdfTest::Text(pdf);
    for (const QString& expected :
         {QStringLiteral("分班公证记录"), QStringLiteral("育才中学"), QStringLiteral("摇号测试"),
          QStringLiteral("31415926"), QStringLiteral("2000"), QStringLiteral("主持人"), QStringLiteral("公证人"),
          QStringLiteral("监督人"), QString::fromStdString(record.inputDigest.substr(0, 8)),
          QString::fromStdString(record.resultDigest.substr(56, 8)), QString::fromStdString(record.figures[0].name),
          QString::fromStdString(record.version)}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    }

    // The command writes the same document; without a record it refuses.
    const QString fromCli = QDir(folder.path()).filePath(QStringLiteral("cli.pdf"));
    const QString taskFile = QString::fromStdString(task.GetTaskInfo().GetTaskFile());
    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("certificate %1 %2 --school 育才中学")
                                  .arg(PdfTest::Quoted(taskFile), PdfTest::Quoted(fromCli))),
              0);
    EXPECT_EQ(PdfTest::Lines(PdfTest::Text(fromCli)), PdfTest::Lines(text));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(CLotteryRecord::PathIn(Folder()))));
    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("certificate %1 %2").arg(PdfTest::Quoted(taskFile), PdfTest::Quoted(fromCli))),
              23);
}

TEST_F(LotteryWindowTest, ATaskThatCannotBeSavedIsRefusedBeforeTheSeedIsReadOut)
{
    task.SetReadOnly(true);
    CLotteryDialog dialog(task, QString());
    EXPECT_FALSE(Draw(dialog, QStringLiteral("20261210")));
    const QStringList shown = CMessageBox::shownTexts();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("摇号分班的结果不能保存"))) << shown[0].toStdString();
    EXPECT_FALSE(CDivisionTableDialog::hasDivision(task));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(CLotteryRecord::PathIn(Folder()))));
}

TEST_F(LotteryWindowTest, TheHeadTeachersAreDrawnAfterTheDivisionAndGoOnTheCertificate)
{
    CLotteryDialog dialog(task, QStringLiteral("育才中学"));
    EXPECT_FALSE(dialog.teacherDrawButton()->isEnabled()) << "only after a lottery division";
    CMessageBox::pushAnswer(QMessageBox::Yes);
    ASSERT_TRUE(Draw(dialog, QStringLiteral("20261210")));
    ASSERT_TRUE(dialog.teacherDrawButton()->isEnabled());
    EXPECT_TRUE(dialog.teacherList()->toPlainText().trimmed().isEmpty()) << "the classes name no teacher";

    // A short seed, then a list that does not match the classes: refused.
    CMessageBox::clearTestState();
    QTest::keyClicks(dialog.teacherSeedEdit(), QStringLiteral("4242"));
    dialog.teacherDrawButton()->click();
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QString::fromStdString(CLotterySeed::Problem("4242"))});
    QTest::keyClicks(dialog.teacherSeedEdit(), QStringLiteral("42"));
    EXPECT_EQ(dialog.seedBanner()->text(), QStringLiteral("424 242"));
    dialog.teacherList()->setPlainText(QStringLiteral("王芳\n李强\n"));
    CMessageBox::clearTestState();
    dialog.teacherDrawButton()->click();
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(CMessageBox::shownTexts()[0].contains(QStringLiteral("班级数"))) << CMessageBox::shownTexts()[0].toStdString();

    dialog.teacherList()->setPlainText(QStringLiteral("王芳\n李强\n赵敏\n陈静\n"));
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    dialog.teacherDrawButton()->click();
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(CMessageBox::shownTexts()[0].contains(QStringLiteral("424 242"))) << "read out before the draw";
    CLotteryRecord record;
    std::string inputText;
    ASSERT_EQ(CLotteryRecord::Load(Folder(), record, inputText), CLotteryRecord::LoadResult::Loaded);
    ASSERT_TRUE(record.teacherDraw);
    EXPECT_EQ(record.teacherDraw->seed, "424242");
    QStringList teachers;
    for (const CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
        teachers << QString::fromStdString(info->GetHeadTeacherName());
    teachers.sort();
    EXPECT_EQ(teachers, (QStringList{QStringLiteral("李强"), QStringLiteral("王芳"), QStringLiteral("赵敏"),
                                     QStringLiteral("陈静")}));
    EXPECT_TRUE(dialog.recordView()->toPlainText().contains(QStringLiteral("424242")));

    CMessageBox::clearTestState();
    dialog.verifyButton()->click();
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(CMessageBox::shownTexts()[0].startsWith(QStringLiteral("一致"))) << CMessageBox::shownTexts()[0].toStdString();

    const QString pdf = QDir(folder.path()).filePath(QStringLiteral("teachers.pdf"));
    CMessageBox::pushPath(pdf);
    dialog.pdfButton()->click();
    const QString text = PdfTest::Text(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("班主任抽签"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("424242")));
    const auto& first = record.teacherDraw->assignments.front();
    EXPECT_TRUE(text.contains(QRegularExpression(QString::fromStdString(first.className) + QStringLiteral("\\s+")
                                                 + QString::fromStdString(first.teacher))))
        << "each class beside its teacher\n" << text.toStdString();
}

// A record too long for one page: the pages are numbered, nothing is cut
// off, and names are printed as text, never read as markup.
TEST_F(LotteryWindowTest, ALongCertificateRunsOnNumberedPagesWithEveryFigure)
{
    CLotteryRecord record;
    record.taskName = "<b>2026级</b> & 新生";
    record.time = "2026年12月10日 9时0分0秒";
    record.version = "1.0.0";
    record.seed = "000123456789";
    record.work = 200000;
    record.students = 1800;
    record.classes = 36;
    record.placed = 1800;
    record.inputDigest = std::string(56, 'a') + "0123abcd";
    record.resultDigest = "fedc3210" + std::string(56, 'b');
    for (int r = 0; r < 30; ++r)
        record.rules.push_back("预先分班：学生" + std::to_string(r + 1) + " → " + std::to_string(r % 36 + 1) + "班");
    for (int c = 0; c < 36; ++c)
        record.figures.push_back({std::to_string(c + 1) + "班", 50, 25, 25, "512.3"});

    const QString pdf = QDir(folder.path()).filePath(QStringLiteral("long.pdf"));
    ASSERT_TRUE(CLotteryCertificate::writePdf(record, QStringLiteral("<i>育才</i>中学"), pdf));
    const int pages = PdfTest::PageCount(pdf);
    ASSERT_GE(pages, 2);
    for (int page = 1; page <= pages; ++page) {
        const QStringList lines = PdfTest::Text(pdf, page).trimmed().split(QLatin1Char('\n'));
        EXPECT_EQ(lines.last().trimmed(), QStringLiteral("第 %1 页，共 %2 页").arg(page).arg(pages))
            << "a missing page shows";
    }
    const QString text = PdfTest::Text(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("<b>2026级</b> & 新生"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("<i>育才</i>中学")));
    EXPECT_TRUE(text.contains(QStringLiteral("000123456789"))) << "leading zeros count";
    EXPECT_TRUE(text.contains(QStringLiteral("0123abcd")));
    EXPECT_TRUE(text.contains(QStringLiteral("fedc3210")));
    EXPECT_TRUE(text.contains(QStringLiteral("36班")));
    EXPECT_TRUE(text.contains(QStringLiteral("学生30 → 30班")));
    EXPECT_TRUE(PdfTest::Text(pdf, pages).contains(QStringLiteral("监督人"))) << "the signatures close the record";

    // However long the figures, the signatures' heading and their lines
    // share a page.
    bool movedOnce = false;
    for (int classes = 20; classes <= 68; classes += 2) {
        record.figures.resize(static_cast<std::size_t>(classes), record.figures.front());
        ASSERT_TRUE(CLotteryCertificate::writePdf(record, QString(), pdf));
        const QString last = PdfTest::Text(pdf, PdfTest::PageCount(pdf));
        EXPECT_TRUE(last.contains(QStringLiteral("签字")) && last.contains(QStringLiteral("主持人"))
                    && last.contains(QStringLiteral("监督人")))
            << classes << " classes\n" << last.toStdString();
        const QStringList lines = last.trimmed().split(QLatin1Char('\n'));
        movedOnce = movedOnce || lines.first().trimmed() == QStringLiteral("签字");
    }
    EXPECT_TRUE(movedOnce) << "one of the lengths needs the heading moved";
}

// The window after a draw and the certificate's first page, as PNG files
// in the folder QUILLON_SCREENSHOT_DIR names; skipped without it.
TEST_F(LotteryWindowTest, Screenshots)
{
    const QString target = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    QDir().mkpath(target);
    CLotteryDialog dialog(task, QStringLiteral("育才中学"));
    dialog.resize(760, 720);
    dialog.show();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    ASSERT_TRUE(Draw(dialog, QStringLiteral("271828182"), QStringLiteral("200000")));
    dialog.teacherList()->setPlainText(QStringLiteral("王芳\n李强\n赵敏\n陈静\n"));
    QTest::keyClicks(dialog.teacherSeedEdit(), QStringLiteral("161803"));
    CMessageBox::pushAnswer(QMessageBox::Yes);
    dialog.teacherDrawButton()->click();
    EXPECT_TRUE(dialog.grab().save(QDir(target).filePath(QStringLiteral("lottery-window.png"))));

    const QString pdf = QDir(folder.path()).filePath(QStringLiteral("certificate.pdf"));
    CMessageBox::pushPath(pdf);
    dialog.pdfButton()->click();
    const QString stem = QDir(target).filePath(QStringLiteral("lottery-certificate"));
    PdfTest::Run(QStringLiteral("pdftoppm -r 70 -png -singlefile -f 1 -l 1 %1 %2").arg(PdfTest::Quoted(pdf), PdfTest::Quoted(stem)));
    EXPECT_TRUE(QFileInfo::exists(stem + QStringLiteral(".png")));
}

} // namespace
