#include "gui/results/ClassPairDialog.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "core/DivisionChange.h"
#include "core/DivisionStatistics.h"
#include "core/DivisionTableData.h"
#include "gui/common/DialogUnits.h"
#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"
#include "gui/results/ClassFiguresBand.h"
#include "gui/results/ClassPairModel.h"
#include "gui/results/DivisionTableDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDragMoveEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <optional>

using DialogUnits::toPixels;

namespace {
// Widths of the list's columns: number, name, sex, original school; then
// each score and the total.
constexpr int kLeadingWidths[] = {44, 80, 44, 110};
constexpr int kScoreWidth = 58;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}
} // namespace

CClassPairDialog::CClassPairDialog(CScheduleTask& task, CDivisionTableDialog& table, const std::string& firstClassId)
    : QDialog(&table), m_task(task), m_table(table), m_statistics(std::make_unique<CDivisionStatistics>(task))
{
    setWindowTitle(QStringLiteral("两班对照"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const std::vector<CClassInfo*> classes = CDivisionTableData::ClassesInOrder(task);
    auto sides = new QHBoxLayout;
    sides->setSpacing(toPixels(8));
    for (const Side side : {Side::Left, Side::Right}) {
        const std::size_t k = at(side);
        auto* chooser = new QComboBox(this);
        chooser->setMinimumWidth(toPixels(120));
        for (const CClassInfo* info : classes)
            chooser->addItem(qs(info->GetName()), qs(info->GetId()));
        m_choosers[k] = chooser;

        m_bands[k] = new CClassFiguresBand(this);
        m_bands[k]->setSubjects(task.GetCustomSubjectArray());

        m_models[k] = new CClassPairModel(task, this);
        auto* view = new QTableView(this);
        view->setModel(m_models[k]);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setDragEnabled(true);
        view->setAcceptDrops(true);
        view->setDropIndicatorShown(true);
        view->setDragDropMode(QAbstractItemView::DragDrop);
        view->setDefaultDropAction(Qt::MoveAction);
        view->setDragDropOverwriteMode(true); // a drop lands on a row, never between two
        view->verticalHeader()->hide();
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->viewport()->installEventFilter(this);
        m_lists[k] = view;

        auto* top = new QHBoxLayout;
        top->addWidget(new QLabel(side == Side::Left ? QStringLiteral("班级：") : QStringLiteral("对照班级："), this));
        top->addWidget(chooser);
        top->addStretch(1);
        auto* column = new QVBoxLayout;
        column->setSpacing(toPixels(4));
        column->addLayout(top);
        column->addWidget(m_bands[k]);
        column->addWidget(view, 1);
        sides->addLayout(column, 1);

        connect(chooser, &QComboBox::currentIndexChanged, this,
                [this, side, chooser] { showClass(side, chooser->currentData().toString().toStdString()); });
        connect(
            m_models[k], &CClassPairModel::studentsDropped, this,
            [this, side](const QStringList& ids, const QString& onStudent) {
                std::vector<std::string> dropped;
                for (const QString& id : ids)
                    dropped.push_back(id.toStdString());
                dropStudents(side, dropped, onStudent.toStdString());
            },
            // After the drag has ended: the change may ask first.
            Qt::QueuedConnection);
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, side, view] {
            if (view->selectionModel()->hasSelection())
                m_active = side;
            updateCommands();
        });
        connect(view, &QWidget::customContextMenuRequested, this, [this, side, view](const QPoint& at) {
            // A click on a row that is not chosen chooses it alone.
            const QModelIndex index = view->indexAt(at);
            if (index.isValid() && !view->selectionModel()->isRowSelected(index.row(), QModelIndex()))
                view->selectRow(index.row());
            m_active = side;
            updateCommands();
            m_contextMenu->popup(view->viewport()->mapToGlobal(at));
        });
    }

    auto* hint =
        new QLabel(QStringLiteral("把学生拖到另一班的名单上，即调到那个班；拖到另一班的某名学生上，即与他对调。"
                                  "调整前检查预排、互斥组与计划人数，调整后立即保存。"),
                   this);
    hint->setWordWrap(true);

    // The commands: the two of this view, then the table's undo and redo.
    m_moveAction = new QAction(QStringLiteral("调到另一班"), this);
    m_exchangeAction = new QAction(QStringLiteral("与选中学生对调"), this);
    m_contextMenu = new QMenu(this);
    m_contextMenu->addAction(m_moveAction);
    m_contextMenu->addAction(m_exchangeAction);
    m_contextMenu->addSeparator();
    m_contextMenu->addAction(table.undoAction());
    m_contextMenu->addAction(table.redoAction());
    // Ctrl+Z and Ctrl+Y work in this window too.
    addAction(table.undoAction());
    addAction(table.redoAction());
    connect(m_moveAction, &QAction::triggered, this, [this] { moveToOtherClass(m_active); });
    connect(m_exchangeAction, &QAction::triggered, this, [this] { exchangeSelected(); });
    // The table steps first (it connected first), then this view follows.
    for (QAction* step : {table.undoAction(), table.redoAction()})
        connect(step, &QAction::triggered, this, [this] { refresh(m_table.selectedStudentIds()); });

    m_moveButton = new QPushButton(m_moveAction->text(), this);
    m_exchangeButton = new QPushButton(m_exchangeAction->text(), this);
    m_undoButton = new QPushButton(QStringLiteral("撤销"), this);
    m_redoButton = new QPushButton(QStringLiteral("重做"), this);
    m_closeButton = new QPushButton(QStringLiteral("关闭"), this);
    connect(m_moveButton, &QPushButton::clicked, m_moveAction, &QAction::trigger);
    connect(m_exchangeButton, &QPushButton::clicked, m_exchangeAction, &QAction::trigger);
    connect(m_undoButton, &QPushButton::clicked, table.undoAction(), &QAction::trigger);
    connect(m_redoButton, &QPushButton::clicked, table.redoAction(), &QAction::trigger);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(toPixels(4));
    for (QPushButton* button : {m_moveButton, m_exchangeButton, m_undoButton, m_redoButton, m_closeButton}) {
        button->setMinimumSize(toPixels(69), toPixels(14));
        // Enter must not change the division.
        button->setAutoDefault(false);
        if (button == m_closeButton)
            buttons->addStretch(1);
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides, 1);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    CUICore::instance()->SetAllChildWindowFont(this);

    // The first class asked for (else the first one) and the one after it.
    std::size_t first = 0;
    for (std::size_t k = 0; k < classes.size(); ++k) {
        if (classes[k]->IdRef() == firstClassId)
            first = k;
    }
    if (!classes.empty()) {
        m_classIds[0] = classes[first]->GetId();
        m_classIds[1] = classes[(first + 1) % classes.size()]->GetId();
    }
    for (const Side side : {Side::Left, Side::Right}) {
        const std::size_t k = at(side);
        m_choosers[k]->blockSignals(true);
        m_choosers[k]->setCurrentIndex(m_choosers[k]->findData(qs(m_classIds[k])));
        m_choosers[k]->blockSignals(false);
        m_models[k]->setClassId(m_classIds[k]);
        for (int column = 0; column < m_models[k]->columnCount(); ++column) {
            const int width =
                column < static_cast<int>(std::size(kLeadingWidths)) ? kLeadingWidths[column] : kScoreWidth;
            m_lists[k]->horizontalHeader()->resizeSection(column, width);
        }
    }
    refresh({});

    // Most of the screen, each list wide enough for its scores.
    QSize size(1280, 720);
    if (const QScreen* screen = table.screen() ? table.screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);
}

CClassPairDialog::~CClassPairDialog()
{
    // The lists must not read the rows once the models are gone.
    for (QTableView* view : m_lists) {
        disconnect(view->selectionModel(), nullptr, this, nullptr);
        view->setModel(nullptr);
    }
}

void CClassPairDialog::showClass(Side side, const std::string& classId)
{
    const std::size_t k = at(side);
    const std::size_t o = at(other(side));
    if (classId.empty() || classId == m_classIds[k])
        return;
    // The same class on both sides would compare nothing: they trade places.
    if (classId == m_classIds[o]) {
        m_classIds[o] = m_classIds[k];
        m_choosers[o]->blockSignals(true);
        m_choosers[o]->setCurrentIndex(m_choosers[o]->findData(qs(m_classIds[o])));
        m_choosers[o]->blockSignals(false);
        m_models[o]->setClassId(m_classIds[o]);
    }
    m_classIds[k] = classId;
    m_choosers[k]->blockSignals(true);
    m_choosers[k]->setCurrentIndex(m_choosers[k]->findData(qs(classId)));
    m_choosers[k]->blockSignals(false);
    m_models[k]->setClassId(classId);
    refresh({});
}

std::vector<std::string> CClassPairDialog::selectedStudentIds(Side side) const
{
    const std::size_t k = at(side);
    QModelIndexList rows = m_lists[k]->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::string> ids;
    for (const QModelIndex& index : rows) {
        const std::string id = m_models[k]->studentIdAt(index.row());
        if (!id.empty())
            ids.push_back(id);
    }
    return ids;
}

void CClassPairDialog::selectStudents(Side side, const std::vector<std::string>& ids)
{
    const std::size_t k = at(side);
    CClassPairModel* model = m_models[k];
    QItemSelection selection;
    int first = -1;
    for (const std::string& id : ids) {
        const int row = model->rowOf(id);
        if (row < 0)
            continue;
        if (first < 0 || row < first)
            first = row;
        selection.select(model->index(row, 0), model->index(row, model->columnCount() - 1));
    }
    QItemSelectionModel* selecting = m_lists[k]->selectionModel();
    selecting->select(selection, QItemSelectionModel::ClearAndSelect);
    if (first >= 0) {
        selecting->setCurrentIndex(model->index(first, 1), QItemSelectionModel::NoUpdate);
        m_lists[k]->scrollTo(model->index(first, 1));
    }
}

bool CClassPairDialog::moveToOtherClass(Side from)
{
    const std::vector<std::string> ids = selectedStudentIds(from);
    if (ids.empty()) {
        CMessageBox::information(this, QStringLiteral("请先在名单中选择要调到另一班的学生。"));
        return false;
    }
    const bool moved = m_table.moveStudents(ids, m_classIds[at(other(from))]);
    refresh(ids);
    return moved;
}

bool CClassPairDialog::exchangeSelected()
{
    const std::vector<std::string> left = selectedStudentIds(Side::Left);
    const std::vector<std::string> right = selectedStudentIds(Side::Right);
    if (left.size() != 1 || right.size() != 1) {
        CMessageBox::information(this, QStringLiteral("请在两个班的名单中各选择一名学生再对调。"));
        return false;
    }
    const bool exchanged = m_table.exchangeStudents(left.front(), right.front());
    refresh({left.front(), right.front()});
    return exchanged;
}

bool CClassPairDialog::dropStudents(Side onto, const std::vector<std::string>& ids, const std::string& onStudentId)
{
    m_previewAt.clear();
    if (ids.empty())
        return false;
    bool changed = false;
    std::vector<std::string> chosen = ids;
    if (ids.size() == 1 && !onStudentId.empty()) {
        changed = m_table.exchangeStudents(ids.front(), onStudentId);
        chosen.push_back(onStudentId);
    } else {
        changed = m_table.moveStudents(ids, m_classIds[at(onto)]);
    }
    refresh(chosen);
    return changed;
}

bool CClassPairDialog::eventFilter(QObject* watched, QEvent* event)
{
    for (const Side side : {Side::Left, Side::Right}) {
        if (watched != m_lists[at(side)]->viewport())
            continue;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: previewDrag(side, *static_cast<QDragMoveEvent*>(event)); break;
        case QEvent::DragLeave:
        case QEvent::Drop:
            if (!m_previewAt.isEmpty()) {
                m_previewAt.clear();
                showFigures();
            }
            break;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event); // the list handles the drag itself
}

std::unique_ptr<CDivisionChange> CClassPairDialog::changeForDrag(Side onto, const QDragMoveEvent& event) const
{
    const std::size_t k = at(onto);
    std::string from;
    std::vector<std::string> ids;
    if (!m_models[k]->canDropMimeData(event.mimeData(), Qt::MoveAction, -1, -1, QModelIndex())
        || !CClassPairModel::readStudents(event.mimeData(), from, ids))
        return nullptr;
    const std::string& to = m_classIds[k];
    const QModelIndex index = m_lists[k]->indexAt(event.position().toPoint());
    const std::string onStudent = index.isValid() ? m_models[k]->studentIdAt(index.row()) : std::string();
    if (ids.size() == 1 && !onStudent.empty()) {
        return std::make_unique<CDivisionChange>(
            CDivisionChange::Kind::Exchange,
            std::vector<CDivisionChange::Step>{{ids.front(), from, to}, {onStudent, to, from}});
    }
    std::vector<CDivisionChange::Step> steps;
    for (const std::string& id : ids)
        steps.push_back({id, from, to});
    return std::make_unique<CDivisionChange>(CDivisionChange::Kind::Move, std::move(steps));
}

void CClassPairDialog::previewDrag(Side onto, const QDragMoveEvent& event)
{
    const std::unique_ptr<CDivisionChange> change = changeForDrag(onto, event);
    // Worked out again only when the drag reaches another student.
    QString at;
    if (change) {
        at = QString::number(static_cast<int>(onto)) + QLatin1Char(':');
        if (change->GetKind() == CDivisionChange::Kind::Exchange)
            at += qs(change->GetSteps().back().studentId);
    }
    if (at == m_previewAt)
        return;
    m_previewAt = at;
    showFigures(change.get());
}

void CClassPairDialog::showFigures(const CDivisionChange* preview)
{
    std::array<std::optional<CClassStatistics>, 2> after;
    if (preview) {
        m_statistics->CalculateAfter(*preview);
        for (std::size_t k = 0; k < 2; ++k) {
            if (const CClassStatistics* figures = m_statistics->GetClassStatistics(m_classIds[k]))
                after[k] = *figures;
        }
    }
    m_statistics->Calculate();
    for (std::size_t k = 0; k < 2; ++k) {
        const CClassStatistics* now = m_statistics->GetClassStatistics(m_classIds[k]);
        const CClassStatistics none(m_statistics->GetSubjectCount());
        m_bands[k]->showFigures(now ? *now : none, after[k] ? &*after[k] : nullptr);
    }
}

void CClassPairDialog::refresh(const std::vector<std::string>& chosen)
{
    m_previewAt.clear();
    for (std::size_t k = 0; k < 2; ++k) {
        // The rows stay where they were on the screen.
        const int scroll = m_lists[k]->verticalScrollBar()->value();
        m_models[k]->refill();
        m_lists[k]->verticalScrollBar()->setValue(scroll);
    }
    for (const Side side : {Side::Left, Side::Right})
        selectStudents(side, chosen);
    showFigures();
    updateCommands();
}

void CClassPairDialog::updateCommands()
{
    if (!m_moveButton)
        return; // still being made
    const Side from = m_active;
    const QString fromName = m_choosers[at(from)]->currentText();
    const QString toName = m_choosers[at(other(from))]->currentText();
    m_moveAction->setEnabled(!selectedStudentIds(from).empty());
    m_moveButton->setToolTip(QStringLiteral("把 %1 中选中的学生调到 %2").arg(fromName, toName));
    m_exchangeAction->setEnabled(selectedStudentIds(Side::Left).size() == 1
                                 && selectedStudentIds(Side::Right).size() == 1);
    m_moveButton->setEnabled(m_moveAction->isEnabled());
    m_exchangeButton->setEnabled(m_exchangeAction->isEnabled());
    m_undoButton->setEnabled(m_table.undoAction()->isEnabled());
    m_redoButton->setEnabled(m_table.redoAction()->isEnabled());
    m_undoButton->setToolTip(m_table.undoButton()->toolTip());
    m_redoButton->setToolTip(m_table.redoButton()->toolTip());
}
