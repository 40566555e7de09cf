#include "gui/common/SearchField.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

CSearchField::CSearchField(QWidget* parent) : QWidget(parent)
{
    m_label = new QLabel(QStringLiteral("搜索"), this);
    m_edit = new QLineEdit(this);
    m_edit->setClearButtonEnabled(true);
    m_edit->setPlaceholderText(QStringLiteral("姓名、拼音或拼音首字母（Ctrl+F）"));
    m_label->setBuddy(m_edit);
    m_edit->installEventFilter(this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_edit, 1);

    // The shortcut belongs to the whole window the field is in.
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, &CSearchField::focusSearch);
    connect(m_edit, &QLineEdit::textChanged, this, &CSearchField::searchChanged);
}

QString CSearchField::text() const
{
    return m_edit->text();
}

bool CSearchField::isActive() const
{
    return !m_edit->text().trimmed().isEmpty();
}

void CSearchField::clear()
{
    m_edit->clear();
}

void CSearchField::focusSearch()
{
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

QString CSearchField::countText(int shown, int total)
{
    return QStringLiteral("显示 %1 / 共 %2 条").arg(shown).arg(total);
}

bool CSearchField::eventFilter(QObject* watched, QEvent* event)
{
    // Escape first empties the search; a window that closes on Escape closes
    // only when there is nothing left to empty.
    if (watched == m_edit && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && !m_edit->text().isEmpty()) {
            if (event->type() == QEvent::KeyPress)
                m_edit->clear();
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
