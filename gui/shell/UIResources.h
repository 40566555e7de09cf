#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QString>

// Fonts, cursors, colours and pictures shared by the owner-drawn windows.
// Made on first use, released when the main window closes.
class CUIResources
{
public:
    static CUIResources* instance();
    static void release();

    const QFont& defaultFont() const { return m_defaultFont; }
    // Bold script face for captions.
    const QFont& titleFont() const { return m_titleFont; }
    const QFont& largeFont() const { return m_largeFont; }
    const QFont& yaheiFont() const { return m_yaheiFont; }
    const QCursor& handCursor() const { return m_handCursor; }
    const QCursor& arrowCursor() const { return m_arrowCursor; }

    // A picture of the program (":/images/<name>.svg") drawn at size.
    QPixmap picture(const QString& name, const QSize& size);

    // The palette of the owner-drawn windows.
    static QColor bandTop() { return {42, 93, 159}; }
    static QColor bandBottom() { return {70, 135, 205}; }
    static QColor window() { return {250, 250, 250}; }
    static QColor panelText() { return {0, 72, 192}; }
    static QColor frame() { return {176, 196, 222}; }

private:
    CUIResources();

    QFont m_defaultFont;
    QFont m_titleFont;
    QFont m_largeFont;
    QFont m_yaheiFont;
    QCursor m_handCursor{Qt::PointingHandCursor};
    QCursor m_arrowCursor{Qt::ArrowCursor};
    QHash<QString, QPixmap> m_pictures;
};
