#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

// The information panel below the buttons: the selected step's caption and
// description, a warning about the open task in red (the classes plan fewer
// seats than there are students), and the open task's name and location.
class CToolDesc : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 180;

    explicit CToolDesc(QWidget* parent = nullptr);

    void setDescription(const QString& caption, const QString& description);
    void setTaskName(const QString& name);
    void setTaskLocation(const QString& location);
    // Empty for none.
    void setWarning(const QString& warning);

    QString caption() const { return m_caption; }
    QString description() const { return m_description; }
    QString taskName() const { return m_taskName; }
    QString taskLocation() const { return m_taskLocation; }
    QString warning() const { return m_warning; }
    // The zones of the panel, from its current size.
    QRect descriptionRect() const;
    QRect taskRect() const;
    QRect locationRect() const;
    // The line of the warning, above the task's name.
    QRect warningRect() const;

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
    QString m_warning;
};
