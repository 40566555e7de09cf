// Where windows open and how large: the default size against the content
// and the screen, the remembered place across a close and a new program
// run, a remembered place that is no longer on any screen, and a dialog that
// leaves its owner's title in sight.
#include "EditorTestSupport.h"

#include "gui/common/WindowPlacement.h"
#include "gui/editors/ClassListDialog.h"
#include "gui/editors/StudentListDialog.h"
#include "gui/import/ImportWizardDialog.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "base/util/IniFile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

using namespace editortest;

namespace {

using Kind = CWindowPlacement::Kind;
using Place = CWindowPlacement::Place;

// The available areas of a 1366×768 and a 1600×1000 screen below a task
// bar of 40 pixels.
const QRect kSmallScreen(0, 0, 1366, 728);
const QRect kLargeScreen(0, 0, 1600, 960);

// The filter installed on the application for one test.
class Installed
{
public:
    explicit Installed(const std::string& settings) : placement(settings) { qApp->installEventFilter(&placement); }
    ~Installed() { qApp->removeEventFilter(&placement); }
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;
    CWindowPlacement placement;
};

bool Inside(const QRect& rect, const QRect& area)
{
    return area.contains(rect.topLeft()) && area.contains(rect.bottomRight());
}

} // namespace

TEST(WindowPlacement, DefaultSizeTakesContentAndShareOfScreen)
{
    const QSize editor(872, 512);
    const QSize small = CWindowPlacement::defaultSize(editor, Kind::List, kSmallScreen);
    const QSize large = CWindowPlacement::defaultSize(editor, Kind::List, kLargeScreen);
    // Never smaller than the content, larger on the larger screen, always
    // inside the screen.
    EXPECT_GE(small.width(), editor.width());
    EXPECT_GE(small.height(), editor.height());
    EXPECT_GT(large.width(), small.width());
    EXPECT_GT(large.height(), small.height());
    EXPECT_GE(large.width(), 1000);
    EXPECT_GE(large.height(), 680);
    EXPECT_LE(small.width(), kSmallScreen.width());
    EXPECT_LE(small.height(), kSmallScreen.height());

    // A form keeps its content's size; content beyond the screen is cut to
    // the screen.
    EXPECT_EQ(CWindowPlacement::defaultSize(QSize(400, 150), Kind::Form, kLargeScreen), QSize(400, 150));
    const QSize huge = CWindowPlacement::defaultSize(QSize(3000, 2000), Kind::Panel, kSmallScreen);
    EXPECT_LE(huge.width(), kSmallScreen.width());
    EXPECT_LE(huge.height(), kSmallScreen.height());
    EXPECT_GT(huge.height(), kSmallScreen.height() - 60);
}

TEST(WindowPlacement, EntriesReadBackAndDamagedOnesIgnored)
{
    const Place normal{QRect(-20, 35, 900, 600), false};
    const Place maximized{QRect(100, 80, 1024, 700), true};
    EXPECT_EQ(CWindowPlacement::format(normal), QStringLiteral("-20,35,900,600"));
    EXPECT_EQ(CWindowPlacement::format(maximized), QStringLiteral("100,80,1024,700,max"));
    EXPECT_EQ(CWindowPlacement::parse(CWindowPlacement::format(normal)), normal);
    EXPECT_EQ(CWindowPlacement::parse(CWindowPlacement::format(maximized)), maximized);
    for (const char* damaged :
         {"", "1,2,3", "a,b,c,d", "10,10,0,300", "10,10,300,-5", "1,2,3,4,min", "1,2,3,4,5,6", "10,10,999999,400"})
        EXPECT_FALSE(CWindowPlacement::parse(QString::fromLatin1(damaged)).has_value()) << damaged;
}

TEST(WindowPlacement, RememberedPlaceIsPutBackOnAVisibleScreen)
{
    const QList<QRect> screens{kSmallScreen, QRect(1366, 0, 1600, 960)};
    // On the second screen: kept as it is.
    const QRect second(1500, 100, 800, 600);
    EXPECT_EQ(CWindowPlacement::fitOnScreen(second, screens, kSmallScreen), second);
    // The second screen is gone: onto the first.
    const QRect gone = CWindowPlacement::fitOnScreen(second, {kSmallScreen}, kSmallScreen);
    EXPECT_TRUE(Inside(gone, kSmallScreen)) << gone.x() << ',' << gone.y();
    EXPECT_EQ(gone.size(), second.size());
    // Hanging over the left and the top edge: pushed in.
    const QRect over = CWindowPlacement::fitOnScreen(QRect(-300, -50, 800, 600), {kSmallScreen}, kSmallScreen);
    EXPECT_EQ(over.topLeft(), QPoint(0, 0));
    // Far away and larger than the screen: shrunk and brought back.
    const QRect far = CWindowPlacement::fitOnScreen(QRect(9000, 9000, 2500, 1400), screens, kSmallScreen);
    EXPECT_TRUE(Inside(far, kSmallScreen));

    // A real window whose remembered place is off every screen.
    QTemporaryDir dir;
    const std::string settings = str(dir.filePath(QStringLiteral("qz.ini")));
    ASSERT_TRUE(CIniFile::WriteString(settings, CWindowPlacement::kSection, "lostWindow", "30000,-20000,500,300"));
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("lostWindow"));
    CWindowPlacement::setKind(&dialog, Kind::Form);
    Installed installed(settings);
    dialog.show();
    const QRect screen = dialog.screen()->availableGeometry();
    EXPECT_TRUE(Inside(dialog.frameGeometry(), screen)) << dialog.x() << ',' << dialog.y();
    EXPECT_EQ(dialog.size(), QSize(500, 300));
}

class WindowPlacementEditors : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ResultsTest::MakeSchool(task, 480, 16, true);
        ASSERT_TRUE(task.SaveInputData());
        m_settings = str(m_dir.filePath(QStringLiteral("qz.ini")));
    }

    QTemporaryDir m_dir;
    std::string m_settings;
};

TEST_F(WindowPlacementEditors, EditorRemembersItsPlaceAcrossCloseAndNewRun)
{
    // The settings file is shared with the other program: its lines stay as
    // they are.
    const QByteArray shared = QByteArray("[Recently Tasks]\r\n1=C:\\\xc8\xce\xce\xf1\\a.qz\r\n");
    {
        QFile file(QString::fromStdString(m_settings));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(shared);
    }
    const QRect moved(60, 40, 700, 450);
    QPoint frame; // where the frame around it stands
    {
        Installed installed(m_settings);
        CClassListDialog editor(task);
        editor.show();
        editor.setGeometry(moved);
        editor.button(CListEditorDialog::Button::Cancel)->click();
        EXPECT_FALSE(editor.isVisible());
        frame = editor.pos();
        EXPECT_EQ(installed.placement.remembered(QStringLiteral("classEditor")),
                  (Place{QRect(editor.pos(), moved.size()), false}));

        // Opened again in the same run.
        CClassListDialog again(task);
        again.show();
        EXPECT_EQ(again.geometry(), moved);
        again.close();
    }
    QFile file(QString::fromStdString(m_settings));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.startsWith(shared)) << written.toStdString();
    const QByteArray entry =
        QStringLiteral("[Window Placement]\r\nclassEditor=%1,%2,700,450\r\n").arg(frame.x()).arg(frame.y()).toLatin1();
    EXPECT_TRUE(written.contains(entry)) << written.toStdString();

    // A new run reads the file.
    Installed installed(m_settings);
    CClassListDialog reopened(task);
    reopened.show();
    EXPECT_EQ(reopened.geometry(), moved);
    // Another editor has a place of its own.
    CStudentListDialog students(task);
    students.show();
    EXPECT_NE(students.geometry(), moved);
    students.close();
    reopened.close();
}

TEST_F(WindowPlacementEditors, MaximisedWindowKeepsItsNormalPlace)
{
    QRect normal;
    {
        Installed installed(m_settings);
        CClassListDialog editor(task);
        editor.show();
        normal = editor.geometry();
        editor.showMaximized();
        QApplication::processEvents();
        editor.close();
        const std::optional<Place> saved = installed.placement.remembered(QStringLiteral("classEditor"));
        ASSERT_TRUE(saved.has_value());
        EXPECT_TRUE(saved->maximized);
        EXPECT_EQ(saved->rect.size(), normal.size());
    }
    Installed installed(m_settings);
    CClassListDialog reopened(task);
    reopened.show();
    EXPECT_TRUE(reopened.isMaximized());
    reopened.showNormal();
    EXPECT_EQ(reopened.size(), normal.size());
    reopened.close();
}

TEST_F(WindowPlacementEditors, WindowsFitTheirContentOnSmallAndLargeScreens)
{
    CWindowPlacement placement(std::string{});
    QSize editorOnSmall;
    for (const QRect& screen : {kSmallScreen, kLargeScreen}) {
        CStudentListDialog editor(task);
        editor.initDialog();
        placement.placeOn(&editor, screen);
        EXPECT_GE(editor.width(), editor.sizeHint().width());
        EXPECT_GE(editor.height(), editor.sizeHint().height());
        EXPECT_TRUE(Inside(editor.frameGeometry(), screen));
        if (screen == kSmallScreen) {
            editorOnSmall = editor.size();
        } else {
            // Clearly larger than the window of old on a large screen.
            EXPECT_GT(editor.width(), editorOnSmall.width());
            EXPECT_GE(editor.width(), 1000);
            EXPECT_GE(editor.height(), 680);
        }

        CImportWizardDialog wizard(editor, &editor);
        wizard.setSamplePicture(CStudentListDialog::samplePicture());
        placement.placeOn(&wizard, screen);
        EXPECT_GE(wizard.width(), wizard.sizeHint().width());
        EXPECT_GE(wizard.height(), wizard.sizeHint().height());

        // Every class and the "全校" row without scrolling.
        CDivisionStatisticsDialog statistics(task);
        placement.placeOn(&statistics, screen);
        statistics.show();
        QApplication::processEvents();
        QTableView* table = statistics.table();
        ASSERT_EQ(table->model()->rowCount(), 17);
        EXPECT_EQ(table->verticalScrollBar()->maximum(), 0) << statistics.height();
        const int last = table->model()->rowCount() - 1;
        EXPECT_LE(table->rowViewportPosition(last) + table->rowHeight(last), table->viewport()->height());
        EXPECT_TRUE(Inside(statistics.frameGeometry(), screen));
        statistics.close();
    }
}

TEST_F(WindowPlacementEditors, ImportWizardLeavesTheListTitleInSight)
{
    Installed installed(m_settings);
    CScheduleTask empty;
    CStudentListDialog editor(empty);
    editor.show();
    // Lower than the wizard: centred over it, the wizard would cover the
    // title that says which list is being filled.
    editor.setGeometry(20, 60, 760, 380);
    bool checked = false;
    shelltest::whenModal<CImportWizardDialog>([&](CImportWizardDialog* wizard) {
        EXPECT_GT(wizard->height(), editor.height());
        EXPECT_GE(wizard->frameGeometry().top(), editor.geometry().top());
        EXPECT_GE(wizard->width(), wizard->sizeHint().width());
        checked = true;
        wizard->reject();
    });
    // The empty students editor opens the import by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return checked; }, 5000));
    editor.close();
}
