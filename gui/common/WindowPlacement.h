#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <string>

class QWidget;

// Where the program's windows open and how large: installed once as an
// application-wide event filter, it places every window of ours when it is
// first shown and remembers its size and position in the settings file when
// it is hidden or closed.
//
// A window is known by its objectName, or by its class name when it has
// none; Qt's own dialogs (message boxes, file choosers) are left alone. A
// window shown for the first time without a remembered place gets at least
// what its content asks for and, by its kind, a share of the screen; a
// dialog opens over the window it belongs to without covering that window's
// title. A remembered place is put back onto a screen that shows it.
//
// The places are kept in section "Window Placement" of the settings file,
// one key per window: "x,y,width,height" of the frame's position and the
// size of the window without its frame, with ",max" appended for a
// maximised window (the size is then the one it has when not maximised).
class CWindowPlacement : public QObject
{
    Q_OBJECT
public:
    // How much of the screen a window takes when first opened.
    enum class Kind
    {
        Form,  // what its content asks for
        Panel, // a picker or a small table: about half the screen
        List,  // a list editor: about two thirds of the screen
        Table, // a large table or chart: most of the screen
    };

    struct Place
    {
        QRect rect; // frame position, size without the frame
        bool maximized = false;
        bool operator==(const Place&) const = default;
    };

    static constexpr const char* kSection = "Window Placement";

    // settingsPath: the settings file; empty keeps nothing.
    explicit CWindowPlacement(std::string settingsPath, QObject* parent = nullptr);

    const std::string& settingsPath() const { return m_settingsPath; }

    // The kind of a window; a window without one is a Form.
    static void setKind(QWidget* window, Kind kind);
    static Kind kindOf(const QWidget* window);
    // The key a window's place is kept under.
    static QString nameOf(const QWidget* window);
    // Whether the filter places the window.
    static bool isManaged(const QWidget* window);

    // The size a window opens with: what its content asks for, at least its
    // kind's share of the available area, at most the available area.
    static QSize defaultSize(const QSize& content, Kind kind, const QRect& available);
    // rect moved (and shrunk where needed) onto the available area that
    // shows most of it, or onto fallback when none shows enough of it.
    static QRect fitOnScreen(const QRect& rect, const QList<QRect>& available, const QRect& fallback);

    static QString format(const Place& place);
    static std::optional<Place> parse(const QString& text);

    // The remembered place of a window, read from the settings file.
    std::optional<Place> remembered(const QString& name) const;
    // Puts a window not yet shown where it was last, on a visible screen;
    // false when nothing is remembered (the window is then left as it is).
    bool restore(QWidget* window) const;
    // Writes the window's current place.
    void save(const QWidget* window) const;
    // Sizes and places a window shown for the first time; runs once for
    // each window.
    void place(QWidget* window) const;
    // Sizes and places a window as place does one without a remembered
    // place, on a screen whose available area is given.
    void placeOn(QWidget* window, const QRect& available) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::string m_settingsPath;
};
