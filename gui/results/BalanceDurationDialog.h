#pragma once

#include <QDialog>

#include <span>

class QButtonGroup;
class QPushButton;
class QRadioButton;

// "均衡优化": asks how long to search for a more even division, before the
// search starts. "开始优化" accepts with the chosen duration; "取消" starts
// nothing.
class CBalanceDurationDialog : public QDialog
{
    Q_OBJECT

public:
    struct Choice
    {
        const char* caption; // UTF-8
        double seconds;
    };
    // 快速, 标准 (chosen at first), 深入.
    static std::span<const Choice> choices();
    static constexpr int kDefaultChoice = 1;

    explicit CBalanceDurationDialog(QWidget* parent = nullptr);

    int choice() const;
    void setChoice(int index);
    // Of the chosen duration.
    double seconds() const;

    QRadioButton* choiceButton(int index) const;
    QPushButton* startButton() const { return m_start; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QButtonGroup* m_group = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
};
