#pragma once

#include <QFont>
#include <QString>

class QWidget;

// The default UI font of every window, made once on first use.
class CUICore
{
public:
    static CUICore* instance();
    static void Free();

    QString GetDefaultFontName() const { return m_fontName; }
    // In tenths of a point (90 is 9 pt).
    int GetDefaultFontSize() const { return m_fontSize; }
    const QFont& getDefaultFont() const { return m_font; }
    // Gives the default font to every child widget of window.
    void SetAllChildWindowFont(QWidget* window) const;

private:
    CUICore();

    QString m_fontName;
    int m_fontSize = 90;
    QFont m_font;
};
