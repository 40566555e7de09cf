#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

// One tab of the step sheet.
struct StepPage
{
    int index = 0;
    QString caption;
    QString description;
    QRect rect;
};

// The tab strip of the step sheet.
class CSheetHeader : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 28;

    explicit CSheetHeader(QWidget* parent = nullptr);

    int addPage(const QString& caption, const QString& description);
    // Ignored when out of range or already selected.
    void selectPage(int index);
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int currentPage() const { return m_current; }
    const StepPage& page(int index) const { return m_pages.at(static_cast<std::size_t>(index)); }
    // The tab at a point of the strip, -1 for none.
    int pageAt(const QPoint& point) const;

signals:
    void pageSelected(int index);
    void describe(const QString& caption, const QString& description);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::vector<StepPage> m_pages;
    int m_current = -1;
};
