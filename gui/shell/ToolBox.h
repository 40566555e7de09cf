#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

// One button of the grid of a step page.
struct StepCommand
{
    QString icon;
    int command = 0;
    QString caption;
    bool lineBreak = false; // ends the current row, occupies no cell
    QRect rect;
};

// The grid of large command buttons of the selected step page.
class CToolBox : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kCellWidth = 241;
    static constexpr int kCellHeight = 57;
    static constexpr int kGap = 20;
    static constexpr int kOrigin = 30;

    explicit CToolBox(QWidget* parent = nullptr);

    void clear();
    void addCommand(const QString& icon, int command, const QString& caption);
    void addLineBreak();

    const std::vector<StepCommand>& commands() const;
    // The cell of a command, empty when the grid has none.
    QRect commandRect(int command) const;
    // The command under a point, -1 for none.
    int commandAt(const QPoint& point) const;
    int columnCount() const;
    int hovered() const { return m_hovered; }

signals:
    void commandChosen(int command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Places the cells for the current width; cheap when nothing changed.
    void layoutCells() const;
    int cellAt(const QPoint& point) const;

    mutable std::vector<StepCommand> m_commands;
    mutable int m_layoutWidth = -1;
    int m_hovered = -1; // index into m_commands
};
