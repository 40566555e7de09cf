#include "gui/results/DivisionTableDialog.h"

#include "gui/common/DialogUnits.h"
#include "gui/results/ClassPairDialog.h"
#include "gui/results/DivisionCommands.h"
#include "core/DivisionEditor.h"
#include "gui/render/DivisionPrinter.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "core/DivisionTableData.h"
#include "logic/export/DivisionTableExport.h"
#include "gui/results/DivisionTableModel.h"
#include "gui/common/MessageBox.h"
#include "gui/common/SearchField.h"
#include "gui/results/MoveToClassDialog.h"
#include "base/task/ScheduleTask.h"
#include "gui/render/TablePrinter.h"
#include "gui/results/PublishDialog.h"
#include "logic/lottery/PostedDigest.h"
#include "gui/common/UICore.h"
#include "logic/export/WorkbookWriter.h"

#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <unordered_set>

using DialogUnits::toPixels;

namespace {
constexpr int kFrameSide = 10;
// Marks the chooser's entry of the students without a class.
constexpr int kUnplacedRole = Qt::UserRole + 1;
// How many broken rules a question lists by name.
constexpr std::size_t kBreachesShown = 12;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}
} // namespace

CDivisionTableDialog::CDivisionTableDialog(CScheduleTask& task, QWidget* parent)
    : CResultTableDialog(parent), m_task(task), m_data(std::make_unique<CDivisionTableData>(task))
{
    setWindowTitle(QStringLiteral("分班表"));
    setObjectName(QStringLiteral("divisionTable"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(QStringLiteral("班级："), this);
    m_chooser = new QComboBox(this);
    m_chooser->setMinimumSize(toPixels(135), toPixels(14));
    m_statisticsButton = new QPushButton(QStringLiteral("分班统计表"), this);
    m_exportButton = new QPushButton(QStringLiteral("导出到EXCEL"), this);
    m_printButton = new QPushButton(QStringLiteral("打印"), this);
    m_publishButton = new QPushButton(QStringLiteral("分班公示…"), this);
    m_moveButton = new QPushButton(QStringLiteral("调到班级…"), this);
    m_exchangeButton = new QPushButton(QStringLiteral("对调"), this);
    m_undoButton = new QPushButton(QStringLiteral("撤销"), this);
    m_redoButton = new QPushButton(QStringLiteral("重做"), this);
    for (QPushButton* button : {m_statisticsButton, m_exportButton, m_printButton, m_publishButton, m_moveButton,
                                m_exchangeButton, m_undoButton, m_redoButton}) {
        button->setMinimumSize(toPixels(69), toPixels(14));
        // Enter must not open the statistics, the export or the printing,
        // nor change the division.
        button->setAutoDefault(false);
    }
    m_balance = new QLabel(this);
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
    row->addSpacing(toPixels(337 - 328));
    row->addWidget(m_publishButton);
    row->addStretch(1);
    // Below them the commands that change the division, and how even the
    // classes are. The line may be cut on a narrow screen; its tip holds it
    // whole.
    auto* editRow = new QHBoxLayout;
    editRow->setSpacing(toPixels(4));
    for (QPushButton* button : {m_moveButton, m_exchangeButton, m_undoButton, m_redoButton})
        editRow->addWidget(button);
    // Two classes side by side, for changes between them.
    m_classPairButton = new QPushButton(QStringLiteral("两班对照…"), this);
    m_classPairButton->setMinimumSize(toPixels(69), toPixels(14));
    m_classPairButton->setAutoDefault(false);
    m_classPairButton->setFont(m_moveButton->font());
    m_classPairButton->setEnabled(CDivisionTableData::ClassesInOrder(task).size() >= 2);
    editRow->addWidget(m_classPairButton);
    connect(m_classPairButton, &QPushButton::clicked, this, [this] { showClassPair(); });
    editRow->addSpacing(toPixels(12));
    m_balance->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    editRow->addWidget(m_balance, 1);
    const QMargins inset(1, 1, 1, 2);
    setTableInset(inset);
    QVBoxLayout* layout = contentLayout();
    layout->setContentsMargins(kFrameSide + inset.left(), toPixels(7), kFrameSide + inset.right(),
                               kFrameSide + inset.bottom());
    layout->insertLayout(0, row);
    layout->insertLayout(1, editRow);
    layout->setSpacing(toPixels(4));

    // The class chooser: all classes first, then each class by record
    // index, then the students without a class.
    m_chooser->addItem(QStringLiteral("所有班级"), QString());
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task))
        m_chooser->addItem(QString::fromStdString(info->GetName()), QString::fromStdString(info->GetId()));
    m_chooser->addItem(QStringLiteral("未分班学生"), QString());
    m_chooser->setItemData(m_chooser->count() - 1, true, kUnplacedRole);

    m_model = new CDivisionTableModel(*m_data, this);
    m_data->Fill(); // the columns are known before the view is set up
    table()->setModel(m_model);
    for (int column = 0; column < m_model->columnCount(); ++column) {
        int width = m_model->defaultColumnWidth(column);
        // A condition column's title ("#住校") shows whole.
        if (column >= m_data->GetFirstConditionColumn())
            width = std::max(width, table()->horizontalHeader()->sectionSizeHint(column)
                                        + table()->horizontalHeader()->fontMetrics().height());
        table()->horizontalHeader()->resizeSection(column, width);
    }
    table()->setColumnHidden(CDivisionTableData::ColumnId, true);

    // Nobody placed in any class: say so over the list.
    m_noDivision = new QLabel(QStringLiteral("还没有分班结果。\n请在“4 自动分班”中点击“开始自动分班”。"));
    m_noDivision->setAlignment(Qt::AlignCenter);
    m_noDivision->setFont(CUICore::instance()->getDefaultFont());
    auto* overlay = new QVBoxLayout(table()->viewport());
    overlay->addWidget(m_noDivision, 0, Qt::AlignCenter);
    m_noDivision->setVisible(m_data->GetRowCount() == 0);
    setUpSearchAndSort();

    // Changing the division: several students can be chosen at once.
    m_editor = std::make_unique<CDivisionEditor>(task);
    table()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_moveAction = new QAction(QStringLiteral("调到班级…"), this);
    m_exchangeAction = new QAction(QStringLiteral("对调"), this);
    m_undoAction = new QAction(QStringLiteral("撤销"), this);
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = new QAction(QStringLiteral("重做"), this);
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    addAction(m_undoAction);
    addAction(m_redoAction);
    m_contextMenu = new QMenu(this);
    m_contextMenu->addAction(m_moveAction);
    m_contextMenu->addAction(m_exchangeAction);
    m_contextMenu->addSeparator();
    m_contextMenu->addAction(m_undoAction);
    m_contextMenu->addAction(m_redoAction);
    table()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // A click on a row that is not chosen chooses it alone.
        const QModelIndex index = table()->indexAt(at);
        if (index.isValid() && !table()->selectionModel()->isRowSelected(index.row(), QModelIndex()))
            table()->selectRow(index.row());
        m_contextMenu->popup(table()->viewport()->mapToGlobal(at));
    });
    connect(m_moveAction, &QAction::triggered, this, [this] { moveSelected(); });
    connect(m_exchangeAction, &QAction::triggered, this, [this] { exchangeSelected(); });
    connect(m_undoAction, &QAction::triggered, this, [this] { undo(); });
    connect(m_redoAction, &QAction::triggered, this, [this] { redo(); });
    for (const auto& [button, action] : commandButtons())
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(table()->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateCommands(); });
    updateCommands();
    updateBalance();

    connect(m_chooser, &QComboBox::currentIndexChanged, this, [this] { fillTable(); });
    connect(m_statisticsButton, &QPushButton::clicked, this, [this] { showStatistics(); });
    connect(m_exportButton, &QPushButton::clicked, this, [this] { exportTable(); });
    connect(m_printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(m_publishButton, &QPushButton::clicked, this, [this] { publish(); });

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

CDivisionTableDialog::~CDivisionTableDialog()
{
    // The list must not read the rows once they are gone: closing a window
    // that is still shown asks the header for its texts after this body.
    disconnect(table()->selectionModel(), nullptr, this, nullptr);
    table()->setModel(nullptr);
}

bool CDivisionTableDialog::hasDivision(const CScheduleTask& task)
{
    const CQZObjectList& classes = task.GetClassInfoList();
    for (const auto& entry : task.GetStudentInfoList()) {
        const std::string classId = static_cast<const CStudentInfo*>(entry.object.get())->GetClassId();
        if (!classId.empty() && classes.Find(classId))
            return true;
    }
    return false;
}

bool CDivisionTableDialog::unplacedChosen() const
{
    return m_chooser->currentData(kUnplacedRole).toBool();
}

void CDivisionTableDialog::fillTable()
{
    refill();
    table()->scrollToTop();
}

void CDivisionTableDialog::refill()
{
    m_model->beginRefill();
    if (unplacedChosen())
        m_data->FillUnplaced();
    else
        m_data->Fill(m_chooser->currentData().toString().toStdString());
    narrowAndSort();
    m_model->endRefill();
    updateSearchRow();
    m_noDivision->setVisible(!unplacedChosen() && !hasDivision(m_task));
    updateCommands();
}

std::vector<std::string> CDivisionTableDialog::selectedStudentIds() const
{
    QModelIndexList rows = table()->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::string> ids;
    ids.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& index : rows) {
        if (index.row() < static_cast<int>(m_data->GetRowCount()))
            ids.push_back(m_data->GetRows()[static_cast<std::size_t>(index.row())].studentId);
    }
    return ids;
}

void CDivisionTableDialog::selectStudents(const std::vector<std::string>& ids)
{
    const std::unordered_set<std::string> wanted(ids.begin(), ids.end());
    const auto& rows = m_data->GetRows();
    const int lastColumn = m_model->columnCount() - 1;
    QItemSelection selection;
    int first = -1;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!wanted.count(rows[r].studentId))
            continue;
        const int row = static_cast<int>(r);
        if (first < 0)
            first = row;
        selection.select(m_model->index(row, 0), m_model->index(row, lastColumn));
    }
    table()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (first >= 0) {
        const QModelIndex current = m_model->index(first, CDivisionTableData::ColumnName);
        table()->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        table()->scrollTo(current);
    }
}

bool CDivisionTableDialog::canChange()
{
    if (!m_task.IsReadOnly())
        return true;
    CMessageBox::information(this,
                             QStringLiteral("分班任务以只读方式打开，调整无法保存到它的文件夹，所以不能调整分班。"));
    return false;
}

void CDivisionTableDialog::moveSelected()
{
    const std::vector<std::string> ids = selectedStudentIds();
    if (ids.empty()) {
        CMessageBox::information(this, QStringLiteral("请先在表中选择要调整的学生。"));
        return;
    }
    if (!canChange())
        return;
    CMoveToClassDialog chooser(m_task, ids, this);
    if (chooser.exec() != QDialog::Accepted || chooser.chosenClassId().empty())
        return;
    moveStudents(ids, chooser.chosenClassId());
}

bool CDivisionTableDialog::moveStudents(const std::vector<std::string>& ids, const std::string& classId)
{
    if (!canChange())
        return false;
    std::string problem;
    const std::optional<CDivisionChange> change = m_editor->MakeMove(ids, classId, problem);
    if (!change) {
        CMessageBox::information(this, qs(problem));
        return false;
    }
    return applyChange(*change);
}

bool CDivisionTableDialog::exchangeSelected()
{
    const std::vector<std::string> ids = selectedStudentIds();
    std::string problem = "请选择两名不同班级的学生再对调。";
    std::optional<CDivisionChange> change;
    if (ids.size() == 2)
        change = m_editor->MakeExchange(ids[0], ids[1], problem);
    if (!change) {
        CMessageBox::information(this, qs(problem));
        return false;
    }
    return canChange() && applyChange(*change);
}

bool CDivisionTableDialog::exchangeStudents(const std::string& firstId, const std::string& secondId)
{
    std::string problem;
    const std::optional<CDivisionChange> change = m_editor->MakeExchange(firstId, secondId, problem);
    if (!change) {
        CMessageBox::information(this, qs(problem));
        return false;
    }
    return canChange() && applyChange(*change);
}

bool CDivisionTableDialog::applyChange(const CDivisionChange& change)
{
    const std::vector<CDivisionEditor::Breach> breaches = m_editor->Check(change);
    if (!breaches.empty()) {
        QString text = QStringLiteral("这次调整（%1）将违反以下规则：\n").arg(qs(change.Describe(m_task)));
        const std::size_t shown = std::min(breaches.size(), kBreachesShown);
        for (std::size_t k = 0; k < shown; ++k)
            text += QStringLiteral("\n· ") + qs(breaches[k].text);
        if (breaches.size() > shown)
            text += QStringLiteral("\n…… 另有 %1 处").arg(breaches.size() - shown);
        text += QStringLiteral("\n\n仍要调整吗？");
        if (!CMessageBox::question(this, text))
            return false;
    }
    const CDivisionBalance before = m_balanceNow;
    if (!m_editor->Apply(change)) {
        if (m_editor->SaveFailed())
            tellNotSaved(QStringLiteral("这次调整"));
        else
            CMessageBox::information(this, QStringLiteral("分班已经改变，请重新选择学生。"));
        return false;
    }
    m_balanceBefore = before;
    showChange(change.GetStudentIds());
    return true;
}

bool CDivisionTableDialog::undo()
{
    return step(true);
}

bool CDivisionTableDialog::redo()
{
    return step(false);
}

bool CDivisionTableDialog::step(bool back)
{
    const CDivisionChange* next = back ? m_editor->UndoChange() : m_editor->RedoChange();
    if (!next || !canChange())
        return false;
    const std::vector<std::string> changed = next->GetStudentIds();
    const CDivisionBalance before = m_balanceNow;
    if (!(back ? m_editor->Undo() : m_editor->Redo())) {
        if (m_editor->SaveFailed())
            tellNotSaved(back ? QStringLiteral("撤销") : QStringLiteral("重做"));
        return false;
    }
    m_balanceBefore = before;
    showChange(changed);
    return true;
}

void CDivisionTableDialog::tellNotSaved(const QString& what)
{
    CMessageBox::error(
        this, QStringLiteral("%1没有保存，分班保持原样。\n%2").arg(what, CDivisionCommands::unsavedReason(m_task)));
}

void CDivisionTableDialog::showChange(const std::vector<std::string>& changed)
{
    // The rows stay where they were on the screen.
    const int scroll = table()->verticalScrollBar()->value();
    refill();
    table()->verticalScrollBar()->setValue(scroll);
    selectStudents(changed);
    updateBalance();
    updateCommands();
}

std::array<std::pair<QPushButton*, QAction*>, 4> CDivisionTableDialog::commandButtons() const
{
    return {{{m_moveButton, m_moveAction},
             {m_exchangeButton, m_exchangeAction},
             {m_undoButton, m_undoAction},
             {m_redoButton, m_redoAction}}};
}

void CDivisionTableDialog::updateCommands()
{
    if (!m_editor)
        return; // still being made
    const std::vector<std::string> ids = selectedStudentIds();
    std::string problem;
    m_moveAction->setEnabled(!ids.empty());
    m_exchangeAction->setEnabled(ids.size() == 2 && m_editor->MakeExchange(ids[0], ids[1], problem));
    m_undoAction->setEnabled(m_editor->CanUndo());
    m_redoAction->setEnabled(m_editor->CanRedo());
    const CDivisionChange* undoable = m_editor->UndoChange();
    const CDivisionChange* redoable = m_editor->RedoChange();
    m_undoButton->setToolTip(undoable ? QStringLiteral("撤销：%1（Ctrl+Z）").arg(qs(undoable->Describe(m_task)))
                                      : QStringLiteral("没有可撤销的调整"));
    m_redoButton->setToolTip(redoable ? QStringLiteral("重做：%1（Ctrl+Y）").arg(qs(redoable->Describe(m_task)))
                                      : QStringLiteral("没有可重做的调整"));
    for (const auto& [button, action] : commandButtons())
        button->setEnabled(action->isEnabled());
}

void CDivisionTableDialog::updateBalance()
{
    m_balanceNow = CDivisionBalance::Of(m_task);
    const QString text = qs(CDivisionBalance::Describe(m_balanceNow, m_balanceBefore ? &*m_balanceBefore : nullptr));
    m_balance->setText(text);
    m_balance->setToolTip(text);
}

void CDivisionTableDialog::showStatistics()
{
    CDivisionStatisticsDialog dialog(m_task, this);
    dialog.exec();
}

void CDivisionTableDialog::showClassPair()
{
    // The class shown here comes first; for all classes, the first class.
    CClassPairDialog dialog(m_task, *this, m_chooser->currentData().toString().toStdString());
    dialog.exec();
}

void CDivisionTableDialog::exportTable()
{
    // The rows and columns shown, under the name of the class shown: the
    // workbook holds what the user sees, the rows a search left in the order
    // sorted, since that is the list the user has just put together.
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
        if (QFileInfo::exists(path)
            && !CMessageBox::question(this,
                                      QStringLiteral("%1 已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(path))))
            return;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    const bool exported = CWorkbookWriter::ExportTable(path.toStdString(), table, error);
    QApplication::restoreOverrideCursor();
    if (!exported) {
        CMessageBox::error(this, QString::fromUtf8(CWorkbookWriter::kExportFailure) + QStringLiteral("\n原因：")
                                     + QString::fromStdString(error));
        return;
    }
    if (CMessageBox::question(this, QStringLiteral("导出成功! 现在要打开EXCEL文档吗？")))
        CMessageBox::openExternal(this, QUrl::fromLocalFile(path));
}

void CDivisionTableDialog::print()
{
    if (unplacedChosen()) {
        CMessageBox::information(this, QStringLiteral("未分班的学生没有班级名单可打印，请选择一个班级或“所有班级”。"));
        return;
    }
    const std::string classId = m_chooser->currentData().toString().toStdString();
    CTablePrinter printer;
    if (printer.StartPrint(this) != 0)
        return;
    if (!CDivisionPrinter::print(printer, CDivisionPrinter::classRosters(m_task, classId)))
        CMessageBox::error(this, QStringLiteral("打印未能完成。"));
}

void CDivisionTableDialog::publish()
{
    // Always every class: a notice posts the whole division.
    CPublishDialog dialog(m_task, m_schoolName, this);
    const CPostedDigest::Outcome posted = CPostedDigest::Of(m_task);
    dialog.setDigest(QString::fromStdString(posted.digest),
                     QString::fromStdString(CPostedDigest::Warning(posted.state)));
    dialog.exec();
}

// ---------------------------------------------------------------------------
// Searching and sorting.

void CDivisionTableDialog::setUpSearchAndSort()
{
    m_search = new CSearchField(this);
    m_search->setMinimumWidth(toPixels(160));
    m_count = new QLabel(this);
    m_allClassesButton = new QPushButton(QStringLiteral("显示所有班级"), this);
    m_allClassesButton->setAutoDefault(false);
    m_allClassesButton->setMinimumSize(toPixels(69), toPixels(14));
    m_allClassesButton->setToolTip(QStringLiteral("回到所有班级的学生"));
    CUICore::instance()->SetAllChildWindowFont(m_search);
    for (QWidget* widget : {static_cast<QWidget*>(m_count), static_cast<QWidget*>(m_allClassesButton)})
        widget->setFont(m_chooser->font());
    auto* searchRow = new QHBoxLayout;
    searchRow->setSpacing(toPixels(8));
    searchRow->addWidget(m_search, 2);
    searchRow->addWidget(m_count);
    searchRow->addWidget(m_allClassesButton);
    searchRow->addStretch(3);
    contentLayout()->insertLayout(2, searchRow);

    connect(m_search, &CSearchField::searchChanged, this, [this](const QString& text) {
        m_matcher.SetText(text.toStdString());
        reshow();
    });
    connect(m_allClassesButton, &QPushButton::clicked, this, [this] {
        const std::vector<std::string> ids = selectedStudentIds();
        m_chooser->setCurrentIndex(0);
        selectStudents(ids);
    });

    // The titles sort; none does at first, so the rows come in the
    // students' order, which "序号" gives back.
    QHeaderView* header = table()->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    m_filledRows = m_data->GetRowCount();
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        m_sortColumn = column;
        m_sortDescending = order == Qt::DescendingOrder;
        reshow();
    });

    connect(table(), &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == CDivisionTableData::ColumnClass && m_model->classLinks()
            && QGuiApplication::keyboardModifiers() == Qt::NoModifier)
            showClassOf(index.row());
    });
    table()->setMouseTracking(true);
    connect(table(), &QAbstractItemView::entered, this, [this](const QModelIndex& index) {
        const bool link = index.column() == CDivisionTableData::ColumnClass && m_model->classLinks();
        if (link)
            table()->viewport()->setCursor(Qt::PointingHandCursor);
        else
            table()->viewport()->unsetCursor();
    });
    updateSearchRow();
}

void CDivisionTableDialog::narrowAndSort()
{
    m_filledRows = m_data->GetRowCount();
    if (m_matcher.IsActive())
        m_data->KeepRows([this](const CDivisionTableData::Row& row) { return m_matcher.Matches(row.name); });
    if (m_sortColumn >= 0)
        m_data->SortBy(m_sortColumn, m_sortDescending);
}

void CDivisionTableDialog::updateSearchRow()
{
    if (!m_search)
        return; // still being made
    const int shown = static_cast<int>(m_data->GetRowCount());
    const int filled = static_cast<int>(m_filledRows);
    m_count->setText(m_matcher.IsActive() ? CSearchField::countText(shown, filled)
                                          : QStringLiteral("共 %1 条").arg(filled));
    // With every class shown a class name leads to its class.
    const bool allClasses = m_chooser->currentIndex() == 0;
    m_model->setClassLinks(allClasses);
    m_allClassesButton->setVisible(!allClasses);
}

void CDivisionTableDialog::reshow()
{
    const std::vector<std::string> ids = selectedStudentIds();
    refill();
    if (ids.empty())
        table()->scrollToTop();
    else
        selectStudents(ids);
}

void CDivisionTableDialog::showClassOf(int row)
{
    if (row < 0 || row >= static_cast<int>(m_data->GetRowCount()))
        return;
    const CDivisionTableData::Row& shown = m_data->GetRows()[static_cast<std::size_t>(row)];
    const std::string studentId = shown.studentId;
    const QString className = qs(shown.className);
    // The classes sit between "所有班级" and "未分班学生".
    for (int entry = 1; entry + 1 < m_chooser->count(); ++entry) {
        if (m_chooser->itemText(entry) == className) {
            table()->viewport()->unsetCursor();
            m_chooser->setCurrentIndex(entry);
            selectStudents({studentId});
            return;
        }
    }
}
