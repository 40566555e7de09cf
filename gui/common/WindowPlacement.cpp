#include "gui/common/WindowPlacement.h"

#include "base/util/IniFile.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {
const char* const kKindProperty = "quillonWindowKind";
const char* const kPlacedProperty = "quillonWindowPlaced";
const QString kMaximized = QStringLiteral("max");
// What the window manager adds around a window (borders, title bar), so
// that a window placed by its inner size still fits the screen.
constexpr QSize kFrameAllowance(16, 40);
// A remembered size beyond this is taken for a damaged entry.
constexpr int kLargest = 100000;

// The share of the available area a window of the kind opens with.
QSizeF shareOf(CWindowPlacement::Kind kind)
{
    switch (kind) {
    case CWindowPlacement::Kind::Form: return {0, 0};
    case CWindowPlacement::Kind::Panel: return {0.45, 0.6};
    case CWindowPlacement::Kind::List: return {0.65, 0.75};
    case CWindowPlacement::Kind::Table: return {0.85, 0.85};
    }
    return {0, 0};
}

qint64 area(const QRect& rect)
{
    return rect.isValid() ? qint64(rect.width()) * rect.height() : 0;
}

QList<QRect> availableAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

// The area of the screen a window opens on: its owner's, else its own.
QRect availableFor(const QWidget* window)
{
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}
} // namespace

CWindowPlacement::CWindowPlacement(std::string settingsPath, QObject* parent)
    : QObject(parent), m_settingsPath(std::move(settingsPath))
{
}

void CWindowPlacement::setKind(QWidget* window, Kind kind)
{
    window->setProperty(kKindProperty, static_cast<int>(kind));
}

CWindowPlacement::Kind CWindowPlacement::kindOf(const QWidget* window)
{
    const QVariant kind = window->property(kKindProperty);
    return kind.isValid() ? static_cast<Kind>(kind.toInt()) : Kind::Form;
}

QString CWindowPlacement::nameOf(const QWidget* window)
{
    const QString name = window->objectName();
    return name.isEmpty() ? QString::fromLatin1(window->metaObject()->className()) : name;
}

bool CWindowPlacement::isManaged(const QWidget* window)
{
    if (!window || !window->isWindow())
        return false;
    const Qt::WindowType type = window->windowType();
    if (type != Qt::Window && type != Qt::Dialog)
        return false;
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint))
        return false;
    // Our own windows; Qt's dialogs place themselves.
    return window->property(kKindProperty).isValid() || window->metaObject()->className()[0] != 'Q';
}

QSize CWindowPlacement::defaultSize(const QSize& content, Kind kind, const QRect& available)
{
    const QSizeF share = shareOf(kind);
    const QSize room = (available.size() - kFrameAllowance).expandedTo(QSize(1, 1));
    const QSize wanted(std::max(content.width(), static_cast<int>(share.width() * room.width())),
                       std::max(content.height(), static_cast<int>(share.height() * room.height())));
    return wanted.boundedTo(room);
}

QRect CWindowPlacement::fitOnScreen(const QRect& rect, const QList<QRect>& available, const QRect& fallback)
{
    QRect screen;
    qint64 shown = 0;
    for (const QRect& candidate : available) {
        const qint64 visible = area(candidate.intersected(rect));
        if (visible > shown) {
            shown = visible;
            screen = candidate;
        }
    }
    // Less than a tenth of the window in sight: the screen it was on is
    // gone or has shrunk; it opens on the usual screen.
    if (!screen.isValid() || shown * 10 < area(rect))
        screen = fallback;
    if (!screen.isValid())
        return rect;
    const QSize room = (screen.size() - kFrameAllowance).expandedTo(QSize(1, 1));
    QRect fitted(rect.topLeft(), rect.size().boundedTo(room));
    const int right = screen.left() + screen.width() - (fitted.width() + kFrameAllowance.width());
    const int bottom = screen.top() + screen.height() - (fitted.height() + kFrameAllowance.height());
    fitted.moveTo(std::clamp(fitted.left(), screen.left(), std::max(screen.left(), right)),
                  std::clamp(fitted.top(), screen.top(), std::max(screen.top(), bottom)));
    return fitted;
}

QString CWindowPlacement::format(const Place& place)
{
    QString text = QStringLiteral("%1,%2,%3,%4")
                       .arg(place.rect.x())
                       .arg(place.rect.y())
                       .arg(place.rect.width())
                       .arg(place.rect.height());
    if (place.maximized)
        text += QLatin1Char(',') + kMaximized;
    return text;
}

std::optional<CWindowPlacement::Place> CWindowPlacement::parse(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4 && parts.size() != 5)
        return std::nullopt;
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (numbers[2] <= 0 || numbers[3] <= 0 || numbers[2] > kLargest || numbers[3] > kLargest
        || std::abs(numbers[0]) > kLargest || std::abs(numbers[1]) > kLargest)
        return std::nullopt;
    Place place;
    place.rect = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (parts.size() == 5) {
        if (parts[4].trimmed() != kMaximized)
            return std::nullopt;
        place.maximized = true;
    }
    return place;
}

std::optional<CWindowPlacement::Place> CWindowPlacement::remembered(const QString& name) const
{
    if (m_settingsPath.empty() || name.isEmpty())
        return std::nullopt;
    return parse(QString::fromStdString(CIniFile::ReadString(m_settingsPath, kSection, name.toStdString(), "")));
}

bool CWindowPlacement::restore(QWidget* window) const
{
    window->setProperty(kPlacedProperty, true);
    const std::optional<Place> place = remembered(nameOf(window));
    if (!place)
        return false;
    const bool fixed = window->minimumSize() == window->maximumSize();
    QRect rect = place->rect;
    if (fixed)
        rect.setSize(window->size());
    rect.setSize(rect.size().expandedTo(window->minimumSize()));
    rect = fitOnScreen(rect, availableAreas(), availableFor(window));
    window->move(rect.topLeft());
    if (!fixed)
        window->resize(rect.size().expandedTo(window->minimumSize()));
    if (place->maximized && !fixed)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    return true;
}

void CWindowPlacement::place(QWidget* window) const
{
    if (window->property(kPlacedProperty).toBool())
        return;
    if (!restore(window))
        placeOn(window, availableFor(window));
}

void CWindowPlacement::placeOn(QWidget* window, const QRect& available) const
{
    window->setProperty(kPlacedProperty, true);
    if (window->minimumSize() == window->maximumSize())
        return;
    const QSize content = window->sizeHint().expandedTo(window->size()).expandedTo(window->minimumSize());
    const QSize size = defaultSize(content, kindOf(window), available);
    window->resize(size);

    QRect rect(QPoint(), size);
    if (const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
        owner && owner->isVisible()) {
        // Over the middle of its owner, but below the owner's title, which
        // tells what the dialog belongs to.
        rect.moveCenter(owner->frameGeometry().center());
        rect.moveTop(std::max(rect.top(), owner->geometry().top()));
    } else {
        rect.moveCenter(available.center());
    }
    window->move(fitOnScreen(rect, {available}, available).topLeft());
}

void CWindowPlacement::save(const QWidget* window) const
{
    if (m_settingsPath.empty())
        return;
    Place place;
    place.maximized = window->isMaximized() || window->isFullScreen();
    if (window->isMaximized() || window->isFullScreen() || window->isMinimized()) {
        const QRect normal = window->normalGeometry();
        if (!normal.isValid())
            return;
        // The frame stands where it stood around the window.
        place.rect = QRect(normal.topLeft() - (window->geometry().topLeft() - window->pos()), normal.size());
    } else {
        place.rect = QRect(window->pos(), window->size());
    }
    CIniFile::WriteString(m_settingsPath, kSection, nameOf(window).toStdString(), format(place).toStdString());
}

bool CWindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide || type == QEvent::Close) && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        // A window minimised or restored by the window manager is shown and
        // hidden spontaneously and keeps its place; closing it does not.
        if (isManaged(window) && (type == QEvent::Close || !event->spontaneous())) {
            if (type == QEvent::Show)
                place(window);
            else if (window->property(kPlacedProperty).toBool())
                save(window);
        }
    }
    return QObject::eventFilter(watched, event);
}
