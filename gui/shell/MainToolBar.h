#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

// The small icon bar at the top right of the main window.
class CMainToolBar : public QWidget
{
    Q_OBJECT
public:
    enum ItemType
    {
        Settings = 2,
        Website = 3,
        Backup = 4
    };

    struct Item
    {
        int type = 0;
        QString icon;
        QString caption;
        QRect rect;
    };

    static constexpr int kHeight = 53;

    explicit CMainToolBar(QWidget* parent = nullptr);

    const std::vector<Item>& items() const { return m_items; }
    QRect itemRect(int type) const;
    int hovered() const { return m_hovered; }

signals:
    void itemClicked(int type);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int itemAt(const QPoint& point) const;

    std::vector<Item> m_items;
    int m_hovered = -1;
};
