#include "gui/shell/MainDlg.h"

#include "gui/results/BalanceCommands.h"
#include "gui/results/DivisionCommands.h"
#include "gui/results/LotteryDialog.h"
#include "gui/editors/EditorCommands.h"
#include "gui/shell/InstallLayout.h"
#include "gui/shell/MainToolBar.h"
#include "gui/common/MessageBox.h"
#include "gui/common/WindowPlacement.h"
#include "gui/shell/ProgramInfo.h"
#include "base/task/ScheduleTask.h"
#include "gui/shell/RecentTaskView.h"
#include "logic/editing/SeatCount.h"
#include "gui/shell/SheetHeader.h"
#include "gui/shell/StepSheet.h"
#include "gui/shell/SystemSetDlg.h"
#include "gui/shell/TaskManager.h"
#include "gui/shell/TipWnd.h"
#include "gui/shell/ToolBox.h"
#include "gui/shell/ToolDesc.h"
#include "gui/shell/UIResources.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

namespace {
constexpr int kToolBarX = 350;
constexpr int kToolBarY = 20;
constexpr int kSheetY = 85;
constexpr QPoint kLogoAt(35, 15);
constexpr int kLogoSize = 64;

QFont logoFont()
{
    QFont font = CUIResources::instance()->yaheiFont();
    font.setPointSize(20);
    font.setBold(true);
    return font;
}

// Writes the bundled help page to folder/help/index.html unless the same
// page is there already. Empty on failure.
QString writeHelpPage(const QString& folder)
{
    QFile source(QStringLiteral(":/help/index.html"));
    if (folder.isEmpty() || !source.open(QIODevice::ReadOnly))
        return {};
    const QByteArray page = source.readAll();
    const QString dir = folder + QStringLiteral("/help");
    const QString path = dir + QStringLiteral("/index.html");
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == page)
        return path;
    existing.close();
    if (!QDir().mkpath(dir))
        return {};
    QFile target(path);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate) || target.write(page) != page.size())
        return {};
    return path;
}

// A result that cannot be saved where the task is may be saved as a copy of
// the task, which is then the open task.
CScheduleTask* saveOpenTaskElsewhere()
{
    CTaskManager* manager = CTaskManager::instance();
    return manager->saveTaskElsewhere() ? manager->task() : nullptr;
}
} // namespace

CMainDlg::CMainDlg(const std::string& startTask, QWidget* parent) : QWidget(parent, Qt::Window)
{
    CUIResources::instance();
    setTaskTitle(QString());
    setObjectName(QStringLiteral("mainWindow"));
    CWindowPlacement::setKind(this, CWindowPlacement::Kind::Table);
    setMouseTracking(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setMinimumSize(640, 480);

    m_toolBar = new CMainToolBar(this);
    m_sheet = new CStepSheet(this);
    connect(m_toolBar, &CMainToolBar::itemClicked, this, &CMainDlg::runToolBarItem);
    connect(m_sheet, &CStepSheet::commandChosen, this, &CMainDlg::runCommand);
    connect(m_sheet->toolDesc(), &CToolDesc::taskZoneClicked, this, &CMainDlg::onTaskZoneClicked);
    connect(m_sheet->toolDesc(), &CToolDesc::locationZoneClicked, this, &CMainDlg::onLocationZoneClicked);
    connect(m_sheet->recentTasks(), &CRecentTaskView::taskChosen, this, &CMainDlg::openRecentTask);
    connect(m_sheet->header(), &CSheetHeader::pageSelected, this, [this](int page) {
        if (page == 0)
            showRecentTasks();
    });

    CTaskManager* manager = CTaskManager::instance();
    manager->setMainWindow(this);
    manager->refreshTaskDisplay();
    m_initialised = true;
    layoutChildren();

    if (!startTask.empty())
        manager->openTask(startTask);
    else if (!manager->recentTasks().isEmpty())
        manager->openTask(manager->recentTasks().paths().front());

    if (m_sheet->pageCount() > 1) {
        int page = manager->lastPage();
        if (page < 0 || page >= m_sheet->pageCount())
            page = 1;
        m_sheet->selectPage(page);
    }
    showRecentTasks();
}

CMainDlg::~CMainDlg()
{
    if (CTaskManager* manager = CTaskManager::existing(); manager && manager->mainWindow() == this)
        manager->setMainWindow(nullptr);
}

int CMainDlg::currentPage() const
{
    return m_sheet->currentPage();
}

void CMainDlg::setTaskTitle(const QString& taskName)
{
    QString title = CProgramInfo::baseTitle();
    if (!taskName.isEmpty())
        title += QStringLiteral(" - ") + taskName;
    setWindowTitle(title);
}

void CMainDlg::taskOpened()
{
    if (m_sheet->pageCount() == 1)
        m_sheet->addTaskPages();
}

void CMainDlg::taskClosed()
{
    setTaskTitle(QString());
    m_sheet->setTaskName(QStringLiteral("无"));
    m_sheet->setTaskLocation(QString());
    m_sheet->setTaskWarning(QString());
}

void CMainDlg::taskTitleChanged(const QString& name, const QString& taskFile, bool readOnly)
{
    setTaskTitle(readOnly ? name + QStringLiteral(" (只读)") : name);
    m_sheet->setTaskName(name);
    m_sheet->setTaskLocation(taskFile);
    refreshSeatWarning();
}

void CMainDlg::refreshSeatWarning()
{
    CTaskManager* manager = CTaskManager::existing();
    if (!manager || !manager->hasTask()) {
        m_sheet->setTaskWarning(QString());
        return;
    }
    const CScheduleTask& task = *manager->task();
    m_sheet->setTaskWarning(
        QString::fromStdString(CSeatCount::Shortage(CSeatCount::TaskStudents(task), CSeatCount::TaskSeats(task))));
}

void CMainDlg::layoutChildren()
{
    if (!m_initialised)
        return;
    const int w = width();
    const int h = height();
    m_toolBar->setGeometry(kToolBarX, kToolBarY, std::max(0, w - kMargin - kToolBarX), CMainToolBar::kHeight);
    m_sheet->setGeometry(kMargin, kSheetY, std::max(0, w - 2 * kMargin), std::max(0, h - kMargin - kSheetY));
}

void CMainDlg::resizeEvent(QResizeEvent*)
{
    layoutChildren();
}

void CMainDlg::paintEvent(QPaintEvent*)
{
    CUIResources* resources = CUIResources::instance();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), CUIResources::window());

    // The band: a deep blue gradient with soft rings on the right.
    const QRect band(0, 0, width(), kBandHeight);
    QLinearGradient fill(band.topLeft(), band.bottomLeft());
    fill.setColorAt(0, CUIResources::bandTop());
    fill.setColorAt(1, CUIResources::bandBottom());
    painter.fillRect(band, fill);
    painter.save();
    painter.setClipRect(band);
    painter.setPen(QPen(QColor(255, 255, 255, 28), 18));
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i)
        painter.drawEllipse(QPoint(width() - 120 + i * 10, 40), 60 + i * 45, 60 + i * 45);
    painter.restore();

    // The logo: emblem and program name.
    painter.drawPixmap(kLogoAt, resources->picture(QStringLiteral("logo"), QSize(kLogoSize, kLogoSize)));
    const QFont font = logoFont();
    const QFontMetrics metrics(font);
    const int textX = kLogoAt.x() + kLogoSize + 10;
    const int textWidth = metrics.horizontalAdvance(CProgramInfo::name());
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(textX, kLogoAt.y(), textWidth + 4, kLogoSize - 14), Qt::AlignLeft | Qt::AlignVCenter,
                     CProgramInfo::name());
    QFont small = resources->defaultFont();
    painter.setFont(small);
    painter.setPen(QColor(220, 232, 248));
    painter.drawText(QRect(textX, kLogoAt.y() + kLogoSize - 18, textWidth + 4, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("全新的自动化分班体验"));
    m_logoRect = QRect(kLogoAt, QPoint(textX + textWidth, kLogoAt.y() + kLogoSize - 1));
}

void CMainDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape never close the main window.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: event->accept(); return;
    default: QWidget::keyPressEvent(event);
    }
}

void CMainDlg::closeEvent(QCloseEvent* event)
{
    shutdown();
    event->accept();
}

void CMainDlg::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (CTaskManager* manager = CTaskManager::existing()) {
        manager->writeLastPage(currentPage());
        if (manager->tip())
            manager->tip()->hide();
        CTaskManager::release();
    }
    CUIResources::release();
}

void CMainDlg::mouseMoveEvent(QMouseEvent* event)
{
    setCursor(m_logoRect.contains(event->position().toPoint()) ? CUIResources::instance()->handCursor()
                                                               : CUIResources::instance()->arrowCursor());
}

void CMainDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_logoRect.contains(event->position().toPoint()))
        openWebsite();
}

void CMainDlg::openWebsite()
{
    CTaskManager* manager = CTaskManager::instance();
    QString path = CInstallLayout::helpPage();
    if (path.isEmpty())
        path = writeHelpPage(QFileInfo(QString::fromStdString(manager->settingsPath())).absolutePath());
    if (path.isEmpty())
        path =
            writeHelpPage(QStandardPaths::writableLocation(QStandardPaths::TempLocation) + QStringLiteral("/Quillon"));
    if (!path.isEmpty())
        manager->openExternal(QUrl::fromLocalFile(path));
}

void CMainDlg::runToolBarItem(int type)
{
    switch (type) {
    case CMainToolBar::Settings: {
        CSystemSetDlg dialog(this);
        dialog.exec();
        break;
    }
    case CMainToolBar::Website: openWebsite(); break;
    case CMainToolBar::Backup: CTaskManager::instance()->backupTask(); break;
    default: break;
    }
}

bool CMainDlg::requireTask()
{
    if (CTaskManager::instance()->hasTask())
        return true;
    CMessageBox::information(this, QStringLiteral("没有正在使用的分班任务"));
    return false;
}

void CMainDlg::openCommand()
{
    CTaskManager* manager = CTaskManager::instance();
    bool opened = false;
    const std::vector<std::string> recent = manager->recentTasks().paths();
    if (recent.empty()) {
        opened = manager->openTaskWithDialog();
    } else {
        QMenu menu(this);
        // A menu takes "&" as a shortcut mark; paths show theirs as they are.
        for (std::size_t i = 0; i < recent.size(); ++i)
            menu.addAction(QString::fromStdString(recent[i]).replace(QLatin1Char('&'), QStringLiteral("&&")))
                ->setData(static_cast<int>(i));
        menu.addSeparator();
        menu.addAction(QStringLiteral("浏览..."))->setData(-1);
        const QRect button = m_sheet->toolBox()->commandRect(static_cast<int>(StepCommandId::OpenTask));
        const QAction* chosen = menu.exec(m_sheet->toolBox()->mapToGlobal(button.bottomLeft()));
        if (!chosen)
            return;
        const int index = chosen->data().toInt();
        opened = index < 0 ? manager->openTaskWithDialog() : manager->openTask(recent[static_cast<std::size_t>(index)]);
    }
    if (opened && m_sheet->pageCount() > 1)
        m_sheet->selectPage(1);
}

void CMainDlg::showRecentTasks()
{
    m_sheet->recentTasks()->setTasks(CTaskManager::instance()->recentTasks().paths());
}

void CMainDlg::openRecentTask(const QString& path)
{
    if (CTaskManager::instance()->openTask(path.toStdString()) && m_sheet->pageCount() > 1)
        m_sheet->selectPage(1);
    else
        showRecentTasks();
}

void CMainDlg::startDivision()
{
    CTaskManager* manager = CTaskManager::instance();
    if (CDivisionCommands::startDivision(this, *manager->task(), saveOpenTaskElsewhere) && manager->hasTask()) {
        m_sheet->selectPage(4);
        CDivisionCommands::showDivisionTable(this, *manager->task(), QString::fromStdString(manager->school().name));
    }
}

void CMainDlg::balanceDivision()
{
    CTaskManager* manager = CTaskManager::instance();
    if (CBalanceCommands::balance(this, *manager->task(), saveOpenTaskElsewhere) && manager->hasTask()) {
        m_sheet->selectPage(4);
        CDivisionCommands::showDivisionTable(this, *manager->task(), QString::fromStdString(manager->school().name));
    }
}

void CMainDlg::lotteryDivision()
{
    CTaskManager* manager = CTaskManager::instance();
    CLotteryDialog dialog(*manager->task(), QString::fromStdString(manager->school().name), this);
    dialog.exec();
    if (dialog.hasDrawn() && manager->hasTask())
        m_sheet->selectPage(4);
}

void CMainDlg::runCommand(StepCommandId command)
{
    CTaskManager* manager = CTaskManager::instance();
    switch (command) {
    case StepCommandId::OpenTask: openCommand(); break;
    case StepCommandId::NewTask:
        if (manager->newTask() && m_sheet->pageCount() > 1)
            m_sheet->selectPage(1);
        break;
    case StepCommandId::ClassInfo:
        if (requireTask())
            CEditorCommands::editClasses(this, *manager->task(), manager->settingsPath());
        refreshSeatWarning();
        break;
    case StepCommandId::StudentInfo:
        if (requireTask())
            CEditorCommands::editStudents(this, *manager->task());
        refreshSeatWarning();
        break;
    case StepCommandId::StudentPreset:
        if (requireTask())
            CEditorCommands::editPresets(this, *manager->task());
        break;
    case StepCommandId::MutexStudent:
        if (requireTask())
            CEditorCommands::editMutexGroups(this, *manager->task());
        break;
    case StepCommandId::TogetherStudent:
        if (requireTask())
            CEditorCommands::editTogetherGroups(this, *manager->task());
        break;
    case StepCommandId::DivisionRules:
        if (requireTask())
            CEditorCommands::editDivisionRules(this, *manager->task());
        break;
    case StepCommandId::StartDivision:
        if (requireTask())
            startDivision();
        break;
    case StepCommandId::DivisionReport:
        if (requireTask() && CDivisionCommands::showReport(this, *manager->task())) {
            m_sheet->selectPage(4);
            CDivisionCommands::showDivisionTable(this, *manager->task(), QString::fromStdString(manager->school().name));
        }
        break;
    case StepCommandId::BalanceDivision:
        if (requireTask())
            balanceDivision();
        break;
    case StepCommandId::LotteryDivision:
        if (requireTask())
            lotteryDivision();
        break;
    case StepCommandId::DivisionTable:
        if (requireTask())
            CDivisionCommands::showDivisionTable(this, *manager->task(), QString::fromStdString(manager->school().name));
        break;
    case StepCommandId::DivisionStatistics:
        if (requireTask())
            CDivisionCommands::showStatistics(this, *manager->task());
        break;
    }
}

void CMainDlg::onTaskZoneClicked()
{
    CTaskManager::instance()->editTaskInfo();
}

void CMainDlg::onLocationZoneClicked()
{
    CTaskManager* manager = CTaskManager::instance();
    if (!manager->hasTask())
        return;
    manager->openExternal(QUrl::fromLocalFile(QString::fromStdString(manager->task()->GetTaskInfo().GetTaskFolder())));
}
