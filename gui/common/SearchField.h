#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;

// "搜索" and a line to type in, above or below a list: the list keeps only
// the rows whose name contains what is typed, as Chinese characters, full
// pinyin (ZHANGSAN) or initials (ZS), as the record picker finds them.
// Ctrl+F anywhere in the field's window puts the cursor in it with its text
// selected; Escape in it empties it (and only then goes on to the window).
class CSearchField : public QWidget
{
    Q_OBJECT

public:
    explicit CSearchField(QWidget* parent = nullptr);

    QString text() const;
    // Whether the text narrows the list (blanks alone do not).
    bool isActive() const;
    void clear();
    // Ctrl+F: the cursor into the field, the text selected.
    void focusSearch();

    QLineEdit* edit() const { return m_edit; }

    // The count under a narrowed list: "显示 12 / 共 2000 条".
    static QString countText(int shown, int total);

signals:
    // The text as typed, at every change.
    void searchChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_label = nullptr;
    QLineEdit* m_edit = nullptr;
};
