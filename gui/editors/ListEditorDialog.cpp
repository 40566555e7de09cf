#include "gui/editors/ListEditorDialog.h"

#include "gui/common/ListHeaderView.h"
#include "gui/common/SearchField.h"
#include "gui/editors/ListFilterModel.h"
#include "gui/render/ListPrinter.h"
#include "gui/common/MessageBox.h"
#include "logic/editing/NameRules.h"
#include "logic/editing/ObjectId.h"
#include "logic/session/TaskSession.h"
#include "base/task/ScheduleTask.h"
#include "gui/common/UICore.h"
#include "gui/common/WindowPlacement.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QColor kBackground(240, 240, 240);
const QColor kFrame(156, 182, 197);
const QColor kModifiedSave(255, 255, 200);
constexpr int kRowHeight = 25;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 6;
constexpr int kCountBandHeight = 24;
constexpr int kSearchGap = 6;
constexpr int kOpenByItselfDelayMs = 500;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}
} // namespace

CListEditorDialog::CListEditorDialog(CScheduleTask& task, QWidget* parent) : QDialog(parent), m_task(task)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    CWindowPlacement::setKind(this, CWindowPlacement::Kind::List);

    m_model = new CListEditorModel(this);
    m_model->setRows(&m_ownRows);
    m_filter = new CListFilterModel(this);
    m_filter->setSourceModel(m_model);
    m_view = new QTableView(this);
    CListHeaderView::decorate(m_view, kRowHeight);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setModel(m_filter);
    // The selection stays as plain to see when the list loses the focus.
    QPalette palette = m_view->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_view->setPalette(palette);

    m_countBand = new QLabel(this);
    m_countBand->setFixedHeight(kCountBandHeight);
    m_countBand->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_search = new CSearchField(this);
    m_search->hide();

    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(0);
    // One pixel for the frame drawn around the list.
    listColumn->setContentsMargins(1, 1, 1, 0);
    listColumn->addWidget(m_search);
    listColumn->addSpacing(kSearchGap);
    listColumn->addWidget(m_view, 1);
    listColumn->addSpacing(1);
    listColumn->addWidget(m_countBand);
    m_countWarning = new QLabel(this);
    m_countWarning->setStyleSheet(QStringLiteral("color: #d00000;"));
    m_countWarning->hide();
    listColumn->addWidget(m_countWarning);

    m_buttonColumn = new QVBoxLayout;
    m_buttonColumn->setSpacing(kButtonGap);
    m_buttons.resize(static_cast<std::size_t>(Button::Print) + 1, nullptr);
    addButton(Button::Save, QStringLiteral("保存(&S)"));
    addButton(Button::Cancel, QStringLiteral("取消(&C)"));
    addButton(Button::Add, QStringLiteral("添加(&A)"));
    addButton(Button::Modify, QStringLiteral("修改(&E)"));
    addButton(Button::Delete, QStringLiteral("删除(&D)"));
    addButton(Button::MoveUp, QStringLiteral("上移(&U)"));
    addButton(Button::MoveDown, QStringLiteral("下移(&B)"));
    addButton(Button::Import, QStringLiteral("导入(&I)"));
    addButton(Button::Print, QStringLiteral("打印(&P)"));
    m_buttonColumn->addStretch(1);
    button(Button::Import)->hide();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin / 2);
    layout->setSpacing(kMargin);
    layout->addLayout(listColumn, 1);
    layout->addLayout(m_buttonColumn);

    connect(button(Button::Save), &QPushButton::clicked, this, [this] { SaveList(); });
    // Cancel closes at once; unsaved changes of the rows are dropped.
    connect(button(Button::Cancel), &QPushButton::clicked, this, [this] { QDialog::reject(); });
    connect(button(Button::Add), &QPushButton::clicked, this, [this] {
        AddItem();
        UpdateCountText();
    });
    connect(button(Button::Modify), &QPushButton::clicked, this, [this] { ModifyItem(); });
    connect(button(Button::Delete), &QPushButton::clicked, this, [this] {
        DeleteSelected();
        UpdateCountText();
    });
    connect(button(Button::MoveUp), &QPushButton::clicked, this, [this] { moveUp(); });
    connect(button(Button::MoveDown), &QPushButton::clicked, this, [this] { moveDown(); });
    connect(button(Button::Import), &QPushButton::clicked, this, [this] {
        ImportItems();
        UpdateCountText();
    });
    connect(button(Button::Print), &QPushButton::clicked, this, [this] { PrintList(); });
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateButtons(); });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this] { OnItemDoubleClick(); });
    connect(m_search, &CSearchField::searchChanged, this, &CListEditorDialog::searchFor);
    // Rows that come, go or change while a search stands change what the
    // band counts.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_filter, signal, this, [this] {
            if (m_filter->isSearching())
                UpdateCountText();
        });
    connect(m_filter, &QAbstractItemModel::modelReset, this, [this] {
        if (m_filter->isSearching())
            UpdateCountText();
    });

    CUICore::instance()->SetAllChildWindowFont(this);
    // 581 × 341 dialog units.
    resize(872, 512);
    setMinimumSize(480, 320);
    setAutoFillBackground(false);
}

CListEditorDialog::~CListEditorDialog()
{
    // An editor's own store is gone already; nothing may read it any more.
    m_view->setModel(nullptr);
}

void CListEditorDialog::addButton(Button button, const QString& text)
{
    auto* b = new QPushButton(text, this);
    b->setMinimumSize(kButtonWidth, kButtonHeight);
    // Enter never presses a button of the list editor.
    b->setAutoDefault(false);
    b->setDefault(false);
    m_buttonColumn->addWidget(b);
    m_buttons[static_cast<std::size_t>(button)] = b;
}

QPushButton* CListEditorDialog::insertButton(const QString& text, Button before)
{
    auto* b = new QPushButton(text, this);
    b->setMinimumSize(kButtonWidth, kButtonHeight);
    b->setAutoDefault(false);
    b->setFont(button(before)->font());
    m_buttonColumn->insertWidget(m_buttonColumn->indexOf(button(before)), b);
    return b;
}

void CListEditorDialog::moveButton(Button which, Button before)
{
    QPushButton* moved = button(which);
    m_buttonColumn->removeWidget(moved);
    m_buttonColumn->insertWidget(m_buttonColumn->indexOf(button(before)), moved);
}

QPushButton* CListEditorDialog::button(Button which) const
{
    return m_buttons[static_cast<std::size_t>(which)];
}

void CListEditorDialog::openByItselfWhenEmpty(std::function<void()> action)
{
    m_whenEmpty = std::move(action);
}

void CListEditorDialog::initDialog()
{
    if (m_initialized)
        return;
    m_initialized = true;

    CQZPrioritySet& priorities = m_task.GetPrioritySet();
    for (int i = 0; i < priorities.GetCount(); ++i)
        m_priorityNames << qs(priorities.GetDescByIndex(i));
    // What the task held before this editor changed anything: put back in
    // memory when a save fails, so that the task never holds rows the user
    // could still drop.
    m_savedData = m_task.SnapshotInputData();
    InitList();
    if (m_showModify)
        button(Button::Modify)->show();
    if (m_showImport)
        button(Button::Import)->show();
    UpdateCountText();
    UpdateButtons();
    setWindowTitle(m_title);
    paintSaveButton();

    if (m_whenEmpty) {
        QTimer::singleShot(kOpenByItselfDelayMs, this, [this] {
            if (rowCount() == 0 && isVisible())
                m_whenEmpty();
        });
    }
}

void CListEditorDialog::showEvent(QShowEvent* event)
{
    initDialog();
    QDialog::showEvent(event);
}

// ---------------------------------------------------------------------------
// The editor's operations.

void CListEditorDialog::InitList()
{
    m_deletedIds.clear();
}

void CListEditorDialog::SetModified(bool modified)
{
    m_modified = modified;
    setWindowTitle(modified ? m_title + QStringLiteral(" (已修改,未保存)") : m_title);
    paintSaveButton();
}

void CListEditorDialog::paintSaveButton()
{
    QPushButton* save = button(Button::Save);
    const QColor face = m_modified ? kModifiedSave : QColor(Qt::white);
    // Every row of an import marks the list modified; the button is
    // repainted only when its face changes.
    if (save->palette().color(QPalette::Button) == face)
        return;
    QPalette palette = save->palette();
    palette.setColor(QPalette::Button, face);
    save->setPalette(palette);
}

bool CListEditorDialog::SaveList()
{
    if (!saveTaskData())
        return false;
    SetModified(false);
    return true;
}

bool CListEditorDialog::saveTaskData()
{
    // The task's own report of a failed write names only the operation;
    // the user is told here what failed and that nothing is lost.
    const CScheduleTask::SaveResult result = m_task.WriteInputData();
    if (result == CScheduleTask::SaveResult::Saved) {
        m_savedData = m_task.SnapshotInputData();
        return true;
    }
    // The rows stay in the editor; the task goes back to what it was.
    m_task.RestoreInputData(m_savedData);
    const std::string reason = CTaskSession::SaveFailureText(m_task, result, m_task.GetTaskInfo().GetInputFilePath());
    CMessageBox::error(
        this, QStringLiteral("保存失败：%1\n列表中的内容仍然保留，可以在排除问题后再次保存。").arg(qs(reason)));
    return false;
}

void CListEditorDialog::PrintList()
{
    CListPrinter::List list;
    list.title = GetPrintTitle();
    std::vector<int> columns;
    for (int column = 1; column < m_model->columnCount(); ++column) {
        if (m_view->isColumnHidden(column))
            continue;
        columns.push_back(column);
        list.columnTitles << m_model->headerData(column, Qt::Horizontal).toString();
        list.columnWidths.push_back(m_view->horizontalHeader()->sectionSize(column));
    }
    // The rows as shown: a search prints what it found.
    const int rows = shownRowCount();
    list.rows.reserve(static_cast<std::size_t>(rows));
    for (int shown = 0; shown < rows; ++shown) {
        const int row = m_filter->sourceRow(shown);
        QStringList cells;
        for (int column : columns)
            cells << qs(cellText(row, column));
        list.rows.push_back(std::move(cells));
    }
    if (!CListPrinter::printWithDialog(this, list))
        CMessageBox::error(this, QStringLiteral("打印未能完成。"));
}

void CListEditorDialog::AddItem() {}

void CListEditorDialog::DeleteSelected()
{
    std::vector<int> bottomUp = selectedRows();
    if (bottomUp.empty())
        return;
    std::reverse(bottomUp.begin(), bottomUp.end());
    for (int row : bottomUp)
        m_deletedIds.push_back(cellText(row, 0));
    m_model->removeListedRows(bottomUp);
    SetModified(true);
}

void CListEditorDialog::ModifyItem() {}

void CListEditorDialog::OnMovedUp() {}

void CListEditorDialog::OnMovedDown() {}

void CListEditorDialog::OnItemDoubleClick() {}

void CListEditorDialog::ImportItems() {}

void CListEditorDialog::BeginImport() {}

bool CListEditorDialog::UndoImport()
{
    return false;
}

QString CListEditorDialog::ImportNote() const
{
    return {};
}

bool CListEditorDialog::IsDuplicateName(const Row& row, const RowRequest& request)
{
    const int excluded = request.mode == RowMode::Replace ? firstSelectedRow() : -1;
    const std::string submitted = row.empty() ? std::string() : row[0];
    const CListRows* rows = m_model->rows();
    if (!rows || CNameRules::FindSameName(*rows, 1, submitted, excluded) < 0)
        return false;
    if (!request.quiet)
        CMessageBox::information(this, qs(CNameRules::DuplicateMessage(submitted)));
    return true;
}

QString CListEditorDialog::GetPrintTitle() const
{
    return QStringLiteral("打印标题");
}

QString CListEditorDialog::GetCountText() const
{
    return QStringLiteral("当前共有 %1 条记录。（按住Ctrl或Shift键，再用鼠标单击可以多选。）").arg(rowCount());
}

void CListEditorDialog::UpdateCountText()
{
    m_countText = countBandText();
    m_countBand->setText(m_countText);
}

QString CListEditorDialog::countBandText() const
{
    if (m_filter->isSearching())
        return CSearchField::countText(shownRowCount(), rowCount());
    return GetCountText();
}

void CListEditorDialog::searchFor(const QString& text)
{
    // The selection stays on the rows still shown.
    m_filter->setSearch(text);
    UpdateCountText();
    UpdateButtons();
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid())
        m_view->scrollTo(current);
}

void CListEditorDialog::setCountWarning(const QString& text)
{
    m_countWarning->setText(text);
    m_countWarning->setVisible(!text.isEmpty());
}

void CListEditorDialog::UpdateButtons()
{
    const bool selected = m_view->selectionModel()->hasSelection();
    for (Button b : {Button::Modify, Button::Delete, Button::MoveUp, Button::MoveDown})
        button(b)->setEnabled(selected);
}

int CListEditorDialog::SubmitRow(RowRequest& request, const Row&)
{
    request.accepted = false;
    return -1;
}

std::string CListEditorDialog::NewObjectId()
{
    return CObjectId::New();
}

// ---------------------------------------------------------------------------
// Moving rows. A selected row changes place with the row shown next to it;
// a selected row that cannot move (at the edge, or next to selected rows
// that cannot) stays, so a block of rows at the edge keeps its order. While
// a search stands the rows it hides keep their places.

void CListEditorDialog::swapShownRows(int a, int b)
{
    m_model->swapRows(m_filter->sourceRow(a), m_filter->sourceRow(b));
}

void CListEditorDialog::moveUp()
{
    std::vector<int> selected = selectedShownRows();
    int firstFree = 0; // the first row a selected row may move into
    for (int& row : selected) {
        if (row > firstFree) {
            swapShownRows(row - 1, row);
            --row;
        }
        firstFree = row + 1;
    }
    selectShownRows(selected);
    OnMovedUp();
    SetModified(true);
}

void CListEditorDialog::moveDown()
{
    std::vector<int> selected = selectedShownRows();
    int lastFree = shownRowCount() - 1; // the last row a selected row may move into
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (*it < lastFree) {
            swapShownRows(*it, *it + 1);
            ++*it;
        }
        lastFree = *it - 1;
    }
    selectShownRows(selected);
    OnMovedDown();
    SetModified(true);
}

// ---------------------------------------------------------------------------
// Rows and selection.

int CListEditorDialog::rowCount() const
{
    return m_model->rowCount();
}

std::string CListEditorDialog::cellText(int row, int column) const
{
    const CListRows* rows = m_model->rows();
    return rows ? rows->CellText(row, column) : std::string();
}

int CListEditorDialog::shownRowCount() const
{
    return m_filter->rowCount();
}

std::vector<int> CListEditorDialog::selectedShownRows() const
{
    const int count = shownRowCount();
    std::vector<char> selected(static_cast<std::size_t>(count), 0);
    for (const QItemSelectionRange& range : m_view->selectionModel()->selection()) {
        for (int row = std::max(0, range.top()); row <= range.bottom() && row < count; ++row)
            selected[static_cast<std::size_t>(row)] = 1;
    }
    std::vector<int> rows;
    for (int row = 0; row < count; ++row) {
        if (selected[static_cast<std::size_t>(row)])
            rows.push_back(row);
    }
    return rows;
}

std::vector<int> CListEditorDialog::selectedRows() const
{
    std::vector<int> rows = selectedShownRows();
    for (int& row : rows)
        row = m_filter->sourceRow(row);
    // The rows shown keep the store's order, so these ascend as well.
    return rows;
}

int CListEditorDialog::firstSelectedRow() const
{
    // The rows shown keep the store's order: the top one shown is the first.
    int first = -1;
    for (const QItemSelectionRange& range : m_view->selectionModel()->selection()) {
        if (range.top() >= 0 && (first < 0 || range.top() < first))
            first = range.top();
    }
    return first < 0 ? -1 : m_filter->sourceRow(first);
}

void CListEditorDialog::selectRows(const std::vector<int>& rows)
{
    for (int row : rows)
        revealRow(row);
    std::vector<int> shown;
    shown.reserve(rows.size());
    for (int row : rows) {
        const int at = m_filter->shownRow(row);
        if (at >= 0)
            shown.push_back(at);
    }
    std::sort(shown.begin(), shown.end());
    selectShownRows(shown);
}

void CListEditorDialog::selectShownRows(const std::vector<int>& rows)
{
    QItemSelection selection;
    const int lastColumn = std::max(0, m_filter->columnCount() - 1);
    for (std::size_t i = 0; i < rows.size();) {
        // One range per run of adjacent rows.
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(m_filter->index(rows[i], 0), m_filter->index(rows[j], lastColumn));
        i = j + 1;
    }
    QItemSelectionModel* model = m_view->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!rows.empty())
        model->setCurrentIndex(m_filter->index(rows.front(), 1), QItemSelectionModel::NoUpdate);
}

void CListEditorDialog::revealRow(int row)
{
    if (row >= 0 && row < rowCount() && m_filter->shownRow(row) < 0 && m_search->isActive())
        m_search->clear();
}

void CListEditorDialog::makeVisible(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    revealRow(row);
    const int shown = m_filter->shownRow(row);
    if (shown >= 0)
        m_view->scrollTo(m_filter->index(shown, 1));
}

void CListEditorDialog::setSearchColumns(std::vector<int> columns)
{
    m_filter->setSearchColumns(std::move(columns));
    m_search->show();
}

void CListEditorDialog::setColumns(std::vector<CListEditorModel::Column> columns)
{
    std::vector<int> widths;
    for (const CListEditorModel::Column& column : columns)
        widths.push_back(column.width);
    m_model->setColumns(std::move(columns));
    for (int column = 0; column < static_cast<int>(widths.size()); ++column) {
        const int width = widths[static_cast<std::size_t>(column)];
        m_view->setColumnHidden(column, width <= 0);
        if (width > 0)
            m_view->horizontalHeader()->resizeSection(column, width);
    }
}

void CListEditorDialog::stretchLastColumn()
{
    m_view->horizontalHeader()->setStretchLastSection(true);
}

void CListEditorDialog::setRows(CListRows& rows)
{
    m_model->setRows(&rows);
}

int CListEditorDialog::appendRow(Row cells, std::unique_ptr<CQZObject> attached)
{
    m_model->beginAppendRows(1);
    const int row = m_ownRows.Append(std::move(cells), std::move(attached));
    m_model->endAppendRows();
    return row;
}

void CListEditorDialog::setCellText(int row, int column, std::string text)
{
    m_ownRows.SetCellText(row, column, std::move(text));
    m_model->rowChanged(row);
}

CQZObject* CListEditorDialog::attached(int row) const
{
    return m_ownRows.Attached(row);
}

void CListEditorDialog::loadRows(const std::function<void(CListEditorRows& rows)>& fill)
{
    m_model->beginResetRows();
    m_ownRows.Clear();
    fill(m_ownRows);
    m_model->endResetRows();
}

void CListEditorDialog::renumberRows(int column)
{
    const int rows = m_ownRows.RowCount();
    for (int row = 0; row < rows; ++row)
        m_ownRows.SetCellText(row, column, std::to_string(row + 1));
    m_model->rowsChanged(0, rows - 1);
}

// ---------------------------------------------------------------------------
// Window events.

void CListEditorDialog::closeEvent(QCloseEvent* event)
{
    if (m_modified) {
        // Only a plain No drops the rows; Escape or closing the question
        // goes back to the editor.
        const CMessageBox::Answer answer =
            CMessageBox::askYesNoCancel(this, QStringLiteral("列表内容已修改,要保存吗?"));
        if (answer == CMessageBox::Answer::Cancel || (answer == CMessageBox::Answer::Yes && !SaveList())) {
            event->ignore();
            return;
        }
    }
    event->accept();
    QDialog::reject();
}

void CListEditorDialog::keyPressEvent(QKeyEvent* event)
{
    // Neither Enter nor Escape closes the editor.
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

void CListEditorDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    // A one-pixel frame around the list.
    painter.setPen(kFrame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_view->geometry().adjusted(-1, -1, 0, 0));
}
