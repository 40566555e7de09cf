#include "DivisionTableDlg.h"

#include "DialogUnits.h"
#include "DivisionPrinter.h"
#include "DivisionStatisticsDlg.h"
#include "DivisionTableData.h"
#include "DivisionTableExport.h"
#include "DivisionTableModel.h"
#include "MessageBox.h"
#include "ScheduleTask.h"
#include "TablePrinter.h"
#include "TaskManager.h"
#include "UICore.h"
#include "WorkbookWriter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

using DialogUnits::toPixels;

namespace {
// The list's frame starts 38 lines down, below the row of controls.
constexpr int kFrameTop = 38;
constexpr int kFrameSide = 10;
} // namespace

CDivisionTableDlg::CDivisionTableDlg(CScheduleTask& task, QWidget* parent)
    : CResultTableDlg(parent), m_task(task), m_data(std::make_unique<CDivisionTableData>(task))
{
    setWindowTitle(QStringLiteral("分班表"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(QStringLiteral("班级："), this);
    m_chooser = new QComboBox(this);
    m_chooser->setMinimumSize(toPixels(135), toPixels(14));
    m_statisticsButton = new QPushButton(QStringLiteral("分班统计表"), this);
    m_exportButton = new QPushButton(QStringLiteral("导出到EXCEL"), this);
    m_printButton = new QPushButton(QStringLiteral("打印"), this);
    for (QPushButton* button : {m_statisticsButton, m_exportButton, m_printButton}) {
        button->setMinimumSize(toPixels(69), toPixels(14));
        // Enter must not open the statistics, the export or the printing.
        button->setAutoDefault(false);
    }
    CUICore::instance()->SetAllChildWindowFont(this);

    // The row of controls above the list, where the template has them.
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(label);
    row->addSpacing(std::max(0, toPixels(34) - toPixels(7) - label->sizeHint().width()));
    row->addWidget(m_chooser);
    row->addSpacing(toPixels(181 - 169));
    row->addWidget(m_statisticsButton);
    row->addSpacing(toPixels(259 - 250));
    row->addWidget(m_exportButton);
    row->addSpacing(toPixels(337 - 328));
    row->addWidget(m_printButton);
    row->addStretch(1);
    const QMargins inset(1, 1, 1, 2);
    setTableInset(inset);
    QVBoxLayout* layout = contentLayout();
    layout->setContentsMargins(kFrameSide + inset.left(), toPixels(7), kFrameSide + inset.right(),
                               kFrameSide + inset.bottom());
    layout->insertLayout(0, row);
    // The list starts below the frame's top line, or lower when the row
    // needs more room at a larger font.
    layout->setSpacing(std::max(1, kFrameTop + inset.top() - toPixels(7) - row->sizeHint().height()));

    // The class chooser: all classes first, then each class by record index.
    m_chooser->addItem(QStringLiteral("所有班级"), QString());
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task))
        m_chooser->addItem(QString::fromStdString(info->GetName()), QString::fromStdString(info->GetId()));

    m_model = new CDivisionTableModel(*m_data, this);
    m_data->Fill(); // the columns are known before the view is set up
    table()->setModel(m_model);
    for (int column = 0; column < m_model->columnCount(); ++column)
        table()->horizontalHeader()->resizeSection(column, m_model->defaultColumnWidth(column));
    table()->setColumnHidden(CDivisionTableData::ColumnId, true);

    // Nobody placed in any class: say so over the list.
    m_noDivision = new QLabel(QStringLiteral("还没有分班结果。\n请在“4 自动分班”中点击“开始自动分班”。"));
    m_noDivision->setAlignment(Qt::AlignCenter);
    m_noDivision->setFont(CUICore::instance()->GetDefaultFont());
    auto* overlay = new QVBoxLayout(table()->viewport());
    overlay->addWidget(m_noDivision, 0, Qt::AlignCenter);
    m_noDivision->setVisible(m_data->GetRowCount() == 0);

    connect(m_chooser, &QComboBox::currentIndexChanged, this, [this] { fillTable(); });
    connect(m_statisticsButton, &QPushButton::clicked, this, [this] { showStatistics(); });
    connect(m_exportButton, &QPushButton::clicked, this, [this] { exportTable(); });
    connect(m_printButton, &QPushButton::clicked, this, [this] { print(); });

    // Cover the work area of the screen (the desktop without the task bar).
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        resize(area.size());
        move(area.topLeft());
    } else {
        resize(toPixels(436), toPixels(248));
    }
    setWindowState(windowState() | Qt::WindowMaximized);
}

CDivisionTableDlg::~CDivisionTableDlg() = default;

bool CDivisionTableDlg::hasDivision(const CScheduleTask& task)
{
    const CQZObjectList& classes = task.GetClassInfoList();
    for (const auto& entry : task.GetStudentInfoList()) {
        const std::string classId = static_cast<const CStudentInfo*>(entry.object.get())->GetClassId();
        if (!classId.empty() && classes.Find(classId))
            return true;
    }
    return false;
}

void CDivisionTableDlg::fillTable()
{
    const std::string classId = m_chooser->currentData().toString().toStdString();
    m_model->beginRefill();
    m_data->Fill(classId);
    m_model->endRefill();
    table()->scrollToTop();
}

void CDivisionTableDlg::showStatistics()
{
    CDivisionStatisticsDlg dialog(m_task, this);
    dialog.exec();
}

void CDivisionTableDlg::exportTable()
{
    // The rows and columns shown, under the name of the class shown.
    const std::string className =
        m_chooser->currentIndex() > 0 ? m_chooser->currentText().toStdString() : std::string();
    CWorkbookWriter::Table table = CDivisionTableExport::Build(*m_data, className);
    table.fontName = CUICore::instance()->GetDefaultFontName().toStdString();

    // The file dialog asks before it lets an existing file be replaced.
    QString name = QString::fromStdString(table.title);
    name.replace(QRegularExpression(QStringLiteral("[\\/:*?\"<>|]")), QStringLiteral("_"));
    const QString folder = QString::fromStdString(m_task.GetTaskInfo().GetTaskFolder());
    QString path = CMessageBox::getSaveFileName(this, QStringLiteral("导出到EXCEL"),
                                                QDir(folder).filePath(name + QStringLiteral(".xlsx")),
                                                QStringLiteral("Excel 文件 (*.xlsx)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) != 0) {
        path += QStringLiteral(".xlsx");
        if (QFileInfo::exists(path) &&
            !CMessageBox::question(this, QStringLiteral("%1 已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(path))))
            return;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    const bool exported = CWorkbookWriter::ExportTable(path.toStdString(), table, error);
    QApplication::restoreOverrideCursor();
    if (!exported) {
        CMessageBox::error(this, QString::fromUtf8(CWorkbookWriter::kExportFailure) + QStringLiteral("\n原因：") +
                                     QString::fromStdString(error));
        return;
    }
    if (CMessageBox::question(this, QStringLiteral("导出成功! 现在要打开EXCEL文档吗？")))
        CTaskManager::instance()->openExternal(QUrl::fromLocalFile(path));
}

void CDivisionTableDlg::print()
{
    CTablePrinter printer;
    if (printer.StartPrint(this) != 0)
        return;
    const std::string classId = m_chooser->currentData().toString().toStdString();
    if (!CDivisionPrinter::print(printer, CDivisionPrinter::classRosters(m_task, classId)))
        CMessageBox::error(this, QStringLiteral("打印未能完成。"));
}
