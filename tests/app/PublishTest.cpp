// The lists posted for parents, written by quillon-cli and from the
// division table, read back from the PDF text and the workbook.
#include "PdfTestSupport.h"
#include "ResultsTestSupport.h"

#include "gui/common/MessageBox.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/render/PublicationPrinter.h"
#include "gui/results/PublishDialog.h"
#include "logic/export/PublicationList.h"
#include "logic/import/XlsxSource.h"
#include "logic/lottery/LotteryDigest.h"
#include "logic/lottery/LotteryRecord.h"
#include "logic/lottery/PostedDigest.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace PdfTest;
using Column = CPublicationList::Column;

namespace {

constexpr int kClasses = 3;
constexpr int kPerClass = 20;

const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "欧阳", "司马"};
const char* const kGiven[] = {"伟", "芳", "子涵", "欣怡", "浩然", "梓萱", "宇轩", "雨桐", "明", "静", "杰"};

// Three classes of twenty, each student with an examination number and
// scores that all end in ".5", which nothing else on a list does.
void MakeCohort(CScheduleTask& task)
{
    task.GetCustomSubjectArray() = {"语文", "数学"};
    const char* const teachers[] = {"王老师", "李老师", ""};
    for (int c = 0; c < kClasses; ++c)
        testsupport::AddClass(task, "class" + std::to_string(c), "七年级(" + std::to_string(c + 1) + ")班", c, 30)
            ->SetHeadTeacherName(teachers[c]);
    for (int s = 0; s < kClasses * kPerClass; ++s) {
        const std::string name = std::string(kSurnames[(s * 7 + s / 5) % 12]) + kGiven[(s * 5 + s / 12) % 11];
        testsupport::AddStudent(
            task, std::to_string(202601000 + s * 7), name, s, (s * 7 / 3) % 2, "class" + std::to_string(s % kClasses),
            {std::to_string(101 + s) + ".5", std::to_string(201 + s) + ".5"}, s % 2 ? "城关小学" : "实验小学");
    }
}

QString ClassName(int c)
{
    return QStringLiteral("七年级(%1)班").arg(c + 1);
}

class PublishTest : public PdfFileTest
{
protected:
    PublishTest() : PdfFileTest("公示.pdf")
    {
        MakeCohort(task);
        taskFile = QString::fromStdString(ResultsTest::SaveTaskIn(task, "2026级新生", folder.Dir()));
    }

    std::vector<std::string> NamesOf(int c) const
    {
        std::vector<std::string> names;
        for (const CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>())
            if (student->GetClassId() == "class" + std::to_string(c))
                names.push_back(student->GetName());
        return names;
    }

    CScheduleTask task;
    QString taskFile;
};

#ifdef QUILLON_CLI_PATH
TEST_F(PublishTest, TheCommandWritesAClassAPageWithMaskedNamesAndNoScore)
{
    ASSERT_FALSE(taskFile.isEmpty());
    ASSERT_EQ(RunCli(QStringLiteral("publish %1 %2 --mask-names --columns name,number,sex --school 第一中学")
                         .arg(Quoted(taskFile), Quoted(pdf))),
              0);
    ASSERT_EQ(PageCount(pdf), kClasses);

    const QString all = Text(pdf);
    // No score and no score column: every score ends in ".5", and no
    // other text has a point.
    EXPECT_FALSE(all.contains(QLatin1Char('.'))) << all.toStdString();
    for (const char* word : {"总分", "语文", "数学", "成绩", "原学校"})
        EXPECT_FALSE(all.contains(QString::fromUtf8(word))) << word;

    for (int c = 0; c < kClasses; ++c) {
        const QString page = Text(pdf, c + 1);
        const QStringList lines = Lines(page);
        EXPECT_EQ(lines.value(0), QStringLiteral("第一中学 2026级新生 分班公示"));
        EXPECT_TRUE(lines.value(1).startsWith(QStringLiteral("班级：") + ClassName(c))) << lines.value(1).toStdString();
        EXPECT_EQ(lines.value(1).contains(QStringLiteral("班主任")), c < 2);
        EXPECT_TRUE(page.contains(QStringLiteral("共 %1 人").arg(kPerClass)));
        EXPECT_TRUE(lines.last().startsWith(QStringLiteral("公示日期："))) << lines.last().toStdString();
        EXPECT_FALSE(page.contains(QStringLiteral("结果摘要")));
        // Only this class's students, each masked, none whole.
        for (int other = 0; other < kClasses; ++other)
            EXPECT_EQ(page.contains(ClassName(other)), other == c);
        for (const std::string& name : NamesOf(c)) {
            EXPECT_TRUE(page.contains(QString::fromStdString(CPublicationList::MaskName(name)))) << name;
            EXPECT_FALSE(page.contains(QString::fromStdString(name))) << name;
        }
        // Examination numbers: four digits after the stars, never whole.
        EXPECT_FALSE(page.contains(QStringLiteral("202601")));
        EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("\\*{5}\\d{4}"))));
    }
}

TEST_F(PublishTest, TheWorkbookReadsBackAClassASheetInPinyinOrder)
{
    const QString xlsx = QString::fromStdString(folder.File("公示.xlsx"));
    ASSERT_EQ(RunCli(QStringLiteral("publish %1 %2").arg(Quoted(taskFile), Quoted(xlsx))), 0);
    CXlsxSource source;
    ASSERT_TRUE(source.Open(xlsx.toStdString()));
    ASSERT_EQ(source.SheetNames(), (std::vector<std::string>{"七年级(1)班", "七年级(2)班", "七年级(3)班"}));
    for (int c = 0; c < kClasses; ++c) {
        ASSERT_TRUE(source.BeginSheet(static_cast<std::size_t>(c)));
        std::vector<std::vector<std::string>> rows;
        CSheetSource::Row row;
        while (source.NextRow(row)) {
            std::vector<std::string> cells;
            for (const auto& cell : row.cells)
                cells.push_back(cell.value.text);
            rows.push_back(cells);
        }
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(kPerClass + 4));
        EXPECT_EQ(rows[0], std::vector<std::string>{"2026级新生 分班公示"});
        EXPECT_EQ(rows[2], (std::vector<std::string>{"序号", "姓名", "性别", "原学校"}));
        std::vector<std::string> shown;
        for (int r = 3; r < 3 + kPerClass; ++r) {
            shown.push_back(rows[static_cast<std::size_t>(r)].at(1));
            for (const std::string& cell : rows[static_cast<std::size_t>(r)])
                EXPECT_EQ(cell.find('.'), std::string::npos) << cell;
        }
        // The names, whole, ordered by their pinyin.
        std::vector<std::string> expected = NamesOf(c);
        std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
            return CPublicationList::SortKey(a) < CPublicationList::SortKey(b);
        });
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(rows.back().at(0).rfind("公示日期：", 0), 0u);
    }
}

TEST_F(PublishTest, TheCommandRefusesScoresAndTasksWithoutADivision)
{
    for (const char* columns : {"name,score", "总分", "name,语文"}) {
        EXPECT_EQ(RunCli(QStringLiteral("publish %1 %2 --columns %3").arg(Quoted(taskFile), Quoted(pdf), columns)), 3)
            << columns;
        EXPECT_FALSE(QFile::exists(pdf));
    }
    EXPECT_EQ(RunCli(QStringLiteral("publish %1 %2").arg(Quoted(taskFile), Quoted(pdf + QStringLiteral(".txt")))), 3);
    EXPECT_EQ(RunCli(QStringLiteral("publish %1 %2")
                         .arg(Quoted(taskFile), Quoted(QString::fromStdString(folder.File("无/公示.pdf"))))),
              8);

    for (CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>())
        student->SetClassId("");
    ASSERT_TRUE(task.SaveInputData());
    EXPECT_EQ(RunCli(QStringLiteral("publish %1 %2").arg(Quoted(taskFile), Quoted(pdf))), 1);
    EXPECT_FALSE(QFile::exists(pdf));
}
#endif

#ifdef QUILLON_CLI_PATH
TEST_F(PublishTest, TheFooterCarriesTheLotteryDigestWhileTheDivisionIsTheDrawnOne)
{
    ASSERT_EQ(RunCli(QStringLiteral("lottery %1 --seed 20260901 --work 2000").arg(Quoted(taskFile))), 0);
    CLotteryRecord record;
    std::string input;
    ASSERT_EQ(CLotteryRecord::Load(folder.Dir(), record, input), CLotteryRecord::LoadResult::Loaded);
    const QString digest = QString::fromStdString(record.resultDigest);
    ASSERT_EQ(digest.size(), 64);

    ASSERT_EQ(RunCli(QStringLiteral("publish %1 %2").arg(Quoted(taskFile), Quoted(pdf))), 0);
    for (int page = 1; page <= kClasses; ++page)
        EXPECT_TRUE(Text(pdf, page).contains(QStringLiteral("结果摘要：") + digest)) << page;

    // The division table hands it to the dialog.
    CScheduleTask drawn;
    ASSERT_TRUE(drawn.Open(taskFile.toStdString()));
    {
        CDivisionTableDialog table(drawn);
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto* dialog = qobject_cast<CPublishDialog*>(QApplication::activeModalWidget())) {
                shown = dialog->digestLabel()->text();
                dialog->cancelButton()->click();
            }
        });
        table.publishButton()->click();
        EXPECT_TRUE(shown.contains(digest)) << shown.toStdString();
    }

    // One student moved after the draw: the list is no longer the one the
    // digest stands for, and goes out without it.
    CStudentInfo* student = drawn.GetStudentInfoList().FindAs<CStudentInfo>("202601000");
    ASSERT_NE(student, nullptr);
    student->SetClassId(student->GetClassId() == "class0" ? "class1" : "class0");
    ASSERT_TRUE(drawn.SaveInputData());
    ASSERT_EQ(RunCli(QStringLiteral("publish %1 %2").arg(Quoted(taskFile), Quoted(pdf))), 0);
    const QString after = Text(pdf);
    EXPECT_TRUE(after.contains(QStringLiteral("公示日期：")));
    EXPECT_FALSE(after.contains(QStringLiteral("结果摘要")));
    EXPECT_FALSE(after.contains(digest));
    const CPostedDigest::Outcome posted = CPostedDigest::Of(drawn);
    EXPECT_EQ(posted.state, CPostedDigest::State::Changed);
    EXPECT_TRUE(posted.digest.empty());
    EXPECT_FALSE(CPostedDigest::Warning(posted.state).empty());

    // A damaged record gives no digest either, and says so.
    QFile damaged(QString::fromStdString(CLotteryRecord::PathIn(folder.Dir())));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("\xff\xfe not a record");
    damaged.close();
    EXPECT_EQ(CPostedDigest::Of(drawn).state, CPostedDigest::State::Unreadable);
    EXPECT_FALSE(CPostedDigest::Warning(CPostedDigest::State::Unreadable).empty());
    ASSERT_EQ(RunCli(QStringLiteral("publish %1 %2").arg(Quoted(taskFile), Quoted(pdf))), 0);
    EXPECT_FALSE(Text(pdf).contains(QStringLiteral("结果摘要")));
    EXPECT_TRUE(CPostedDigest::Warning(CPostedDigest::State::NoRecord).empty());
}
#endif

TEST_F(PublishTest, AClassLongerThanAPageGoesOnWithItsLineAndTitles)
{
    // Forty more students in the first class: its list takes two pages,
    // the second headed by the class line and the column titles again.
    for (int s = 0; s < 40; ++s)
        testsupport::AddStudent(task, std::to_string(300000 + s), "孙" + std::to_string(100 + s), 100 + s, 1, "class0");
    CPublicationList::Options options;
    options.schoolName = "第一中学";
    const CPublicationList list(task, options);
    QString error;
    ASSERT_TRUE(CPublicationPrinter::save(list, pdf, QStringLiteral("公示日期：2026-09-01"), error))
        << error.toStdString();
    ASSERT_EQ(PageCount(pdf), kClasses + 1);
    const QStringList first = Lines(Text(pdf, 1));
    const QStringList second = Lines(Text(pdf, 2));
    EXPECT_EQ(first.value(0), QStringLiteral("第一中学 2026级新生 分班公示"));
    EXPECT_TRUE(second.value(0).startsWith(QStringLiteral("班级：七年级(1)班")));
    EXPECT_TRUE(second.value(0).endsWith(QStringLiteral("（续）")));
    EXPECT_TRUE(second.value(1).startsWith(QStringLiteral("序号")));
    EXPECT_EQ(first.last(), QStringLiteral("公示日期：2026-09-01"));
    EXPECT_EQ(second.last(), QStringLiteral("公示日期：2026-09-01"));
    // Numbered on across the break, every student once.
    const QString both = Text(pdf, 1) + Text(pdf, 2);
    for (int n = 1; n <= kPerClass + 40; ++n)
        EXPECT_TRUE(both.contains(QRegularExpression(QStringLiteral("(^|\\s)%1\\s").arg(n)))) << n;
    EXPECT_TRUE(Lines(Text(pdf, 3)).value(1).startsWith(QStringLiteral("班级：七年级(2)班")));
}

TEST_F(PublishTest, TheDialogWritesTheListsItsOptionsAsk)
{
    CPublishDialog dialog(task, QStringLiteral("第一中学"));
    dialog.setDigest(QStringLiteral("0f1e2d3c"));
    EXPECT_EQ(dialog.schoolField()->text(), QStringLiteral("第一中学"));
    dialog.maskBox()->setChecked(true);
    dialog.columnBox(Column::School)->setChecked(false);
    dialog.columnBox(Column::ExamNumber)->setChecked(true);
    EXPECT_EQ(dialog.options().columns, (std::vector<Column>{Column::Name, Column::Sex, Column::ExamNumber}));

    CMessageBox::pushPath(pdf);
    CMessageBox::pushAnswer(QMessageBox::No);
    dialog.saveButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(CMessageBox::shownChoosers().size(), 1u);
    EXPECT_TRUE(CMessageBox::shownChoosers().front().filter.contains(QStringLiteral("*.xlsx")));
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QStringLiteral("分班公示名单已保存。现在要打开它吗？")});
    EXPECT_TRUE(CMessageBox::openedUrls().empty());

    ASSERT_EQ(PageCount(pdf), kClasses);
    const QString first = Text(pdf, 1);
    EXPECT_TRUE(first.contains(QStringLiteral("考号")));
    EXPECT_FALSE(first.contains(QStringLiteral("原学校")));
    EXPECT_TRUE(first.contains(QStringLiteral("结果摘要：0f1e2d3c")));
    for (const std::string& name : NamesOf(0))
        EXPECT_FALSE(first.contains(QString::fromStdString(name))) << name;

    EXPECT_TRUE(dialog.columnBox(Column::ExamNumber)->isEnabled());

    // Without a column besides the numbers there is nothing to save.
    for (Column column : {Column::Name, Column::Sex, Column::School, Column::ExamNumber})
        dialog.columnBox(column)->setChecked(false);
    EXPECT_FALSE(dialog.saveButton()->isEnabled());
}

TEST_F(PublishTest, TheDialogSaysWhyNothingWasWritten)
{
    // A name without an ending gets ".pdf"; a folder that is not there
    // fails with its reason.
    CScheduleTask made;
    testsupport::AddClass(made, "c", "一班", 0);
    testsupport::AddStudent(made, "0123456789abcdef0123456789abcdef", "张三", 0, 1, "c");
    made.GetTaskInfo().SetTaskName("2026级新生");
    CPublishDialog dialog(made, QString());
    CMessageBox::pushPath(QString::fromStdString(folder.File("名单")));
    CMessageBox::pushAnswer(QMessageBox::No);
    EXPECT_TRUE(dialog.save());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(folder.File("名单.pdf"))));
    EXPECT_EQ(Lines(Text(QString::fromStdString(folder.File("名单.pdf")), 1)).value(0),
              QStringLiteral("2026级新生 分班公示"));

    CMessageBox::clearTestState();
    CMessageBox::pushPath(QString::fromStdString(folder.File("没有/名单.xlsx")));
    EXPECT_FALSE(dialog.save());
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_EQ(CMessageBox::shownMessages().front().icon, CMessageBox::Icon::Error);
    EXPECT_TRUE(CMessageBox::shownTexts().front().contains(QStringLiteral("没有保存")));

    // Identifiers the program made are no examination numbers: not offered.
    EXPECT_FALSE(dialog.columnBox(Column::ExamNumber)->isEnabled());
    EXPECT_FALSE(dialog.columnBox(Column::ExamNumber)->isChecked());

    // Not divided: said before any file is asked for.
    made.GetStudentInfoList().FindAs<CStudentInfo>("0123456789abcdef0123456789abcdef")->SetClassId("");
    CMessageBox::clearTestState();
    EXPECT_FALSE(dialog.save());
    EXPECT_TRUE(CMessageBox::shownChoosers().empty());
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QString::fromUtf8(CPublicationList::kNothingToPost)});
}

TEST_F(PublishTest, TheDivisionTableOpensItWithTheSchoolsName)
{
    CDivisionTableDialog table(task);
    table.setSchoolName(QStringLiteral("第一中学"));
    QString school;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<CPublishDialog*>(QApplication::activeModalWidget())) {
            opened = true;
            school = dialog->schoolField()->text();
            dialog->cancelButton()->click();
        }
    });
    table.publishButton()->click();
    EXPECT_TRUE(opened);
    EXPECT_EQ(school, QStringLiteral("第一中学"));
    EXPECT_TRUE(CMessageBox::shownChoosers().empty());
}

} // namespace

// Pictures of a posted list and of the dialog, when QUILLON_SCREENSHOT_DIR
// names a folder; skipped otherwise.
TEST(PublishScreenshots, ListPageAndDialog)
{
    const QString target = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    const QDir out(target);
    CScheduleTask task;
    MakeCohort(task);
    task.GetTaskInfo().SetTaskName("2026级新生");
    CPublicationList::Options options;
    options.columns = {Column::Name, Column::ExamNumber, Column::Sex, Column::School};
    options.maskNames = true;
    options.schoolName = "第一中学";
    testsupport::TempFolder folder;
    const QString pdf = QString::fromStdString(folder.File("publish.pdf"));
    const QString footer = QString::fromStdString(
        CPublicationList::FooterText("2026-09-01", CLotteryDigest::Sha256Hex("a division anyone can check")));
    QString error;
    ASSERT_TRUE(CPublicationPrinter::save(CPublicationList(task, options), pdf, footer, error)) << error.toStdString();
    const QString prefix = out.filePath(QStringLiteral("publish-list"));
    PdfTest::Run(QStringLiteral("pdftoppm -r 80 -png -singlefile -f 1 -l 1 %1 %2").arg(Quoted(pdf), Quoted(prefix)));
    EXPECT_TRUE(QFile::exists(prefix + QStringLiteral(".png")));

    CPublishDialog dialog(task, QStringLiteral("第一中学"));
    dialog.maskBox()->setChecked(true);
    dialog.setDigest(QString::fromStdString(CLotteryDigest::Sha256Hex("a division anyone can check")));
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.grab().save(out.filePath(QStringLiteral("publish-dialog.png"))));
}
