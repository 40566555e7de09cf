#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

// The information panel below the buttons: the selected step's caption and
// description, and the open task's name and location.
class CToolDesc : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 180;

    explicit CToolDesc(QWidget* parent = nullptr);

    void setDescription(const QString& caption, const QString& description);
    void setTaskName(const QString& name);
    void setTaskLocation(const QString& location);

    QString caption() const { return m_caption; }
    QString description() const { return m_description; }
    QString taskName() const { return m_taskName; }
    QString taskLocation() const { return m_taskLocation; }
    // The zones of the panel, from its current size.
    QRect descriptionRect() const;
    QRect taskRect() const;
    QRect locationRect() const;

signals:
    void taskZoneClicked();
    void locationZoneClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_caption;
    QString m_description;
    QString m_taskName;
    QString m_taskLocation;
};
