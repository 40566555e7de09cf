#include "gui/editors/ObjectPickerDialog.h"

#include "gui/common/WindowPlacement.h"
#include "gui/common/MessageBox.h"
#include "gui/editors/ObjectPickerModel.h"
#include "gui/common/UICore.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kIconSize = 32;
const QSize kCell(84, 64);

QIcon pictureOf(CObjectPickerDialog::Kind kind)
{
    const QString file = kind == CObjectPickerDialog::Kind::Students ? QStringLiteral(":/images/students.svg")
                                                                     : QStringLiteral(":/images/classes.svg");
    // Drawn once; the list repeats the same picture for every record.
    return QIcon(QIcon(file).pixmap(kIconSize, kIconSize));
}
} // namespace

CObjectPickerDialog::CObjectPickerDialog(const CQZObjectList& list, Kind kind, const QString& caption,
                                         const std::string& selectId, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    setObjectName(QStringLiteral("objectPicker"));
    CWindowPlacement::setKind(this, CWindowPlacement::Kind::Panel);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_model = new CObjectPickerModel(pictureOf(kind), this);
    m_model->setRecords(list);

    m_view = new QListView(this);
    m_view->setViewMode(QListView::IconMode);
    m_view->setMovement(QListView::Static);
    m_view->setResizeMode(QListView::Adjust);
    m_view->setUniformItemSizes(true);
    m_view->setLayoutMode(QListView::Batched);
    m_view->setBatchSize(400);
    m_view->setIconSize(QSize(kIconSize, kIconSize));
    m_view->setGridSize(kCell);
    m_view->setWordWrap(false);
    m_view->setTextElideMode(Qt::ElideRight);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setModel(m_model);

    auto* searchLabel = new QLabel(QStringLiteral("搜索"), this);
    m_search = new QLineEdit(this);
    m_search->setClearButtonEnabled(true);
    m_search->setPlaceholderText(QStringLiteral("姓名、拼音或拼音首字母"));
    auto* showAll = new QPushButton(QStringLiteral("显示全部(&A)"), this);
    showAll->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("确定(&O)"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cancel->setAutoDefault(false);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(showAll);
    auto* left = new QVBoxLayout;
    left->addWidget(m_view, 1);
    left->addLayout(searchRow);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_search, &QLineEdit::textChanged, m_model, &CObjectPickerModel::setFilter);
    connect(showAll, &QPushButton::clicked, this, &CObjectPickerDialog::showAll);
    connect(ok, &QPushButton::clicked, this, &CObjectPickerDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this] { confirm(); });

    CUICore::instance()->SetAllChildWindowFont(this);
    // 336 × 154 dialog units, with more room for the list.
    resize(560, 320);
    setMinimumSize(420, 240);

    if (!selectId.empty())
        selectRow(m_model->rowOf(selectId));
    m_search->setFocus();
}

CObjectPickerDialog::~CObjectPickerDialog() = default;

CQZObject* CObjectPickerDialog::pick(QWidget* parent, const CQZObjectList& list, Kind kind, const QString& caption,
                                     const std::string& selectId)
{
    CObjectPickerDialog dialog(list, kind, caption, selectId, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : nullptr;
}

void CObjectPickerDialog::selectRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    if (!index.isValid())
        return;
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
}

void CObjectPickerDialog::showAll()
{
    m_search->clear();
}

void CObjectPickerDialog::confirm()
{
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    CQZObject* record = selected.isEmpty() ? nullptr : m_model->recordAt(selected.front().row());
    if (!record) {
        CMessageBox::information(this, QStringLiteral("没有选择对象"));
        return;
    }
    m_chosen = record;
    accept();
}
