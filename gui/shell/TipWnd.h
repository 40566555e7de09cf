#pragma once

#include <QString>
#include <QWidget>

// The floating hint: a borderless topmost window with an optional title and
// a text of one or more lines.
class CTipWnd : public QWidget
{
    Q_OBJECT
public:
    explicit CTipWnd(QWidget* parent = nullptr);

    void show(int x, int y, const QString& title, const QString& text);
    void hide();

    QString title() const { return m_title; }
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QString m_text;
    int m_lineHeight = 0;
    int m_titleHeight = 0;
};
