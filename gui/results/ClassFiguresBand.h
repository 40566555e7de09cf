#pragma once

#include <QFrame>
#include <QString>

#include <string>
#include <vector>

class CClassStatistics;
class QGridLayout;
class QLabel;

// The figures of one class above its list in the two-class view: how many
// students, how many girls, the average total and the average of each
// subject. While students are dragged it shows what a figure would become
// ("45 → 46"), the figures that would change stressed.
class CClassFiguresBand : public QFrame
{
    Q_OBJECT

public:
    explicit CClassFiguresBand(QWidget* parent = nullptr);

    // Lays out a cell per figure for the subjects named.
    void setSubjects(const std::vector<std::string>& subjectNames);
    // The figures now, and what they would be after a change (when given).
    void showFigures(const CClassStatistics& now, const CClassStatistics* after = nullptr);

    // "人数", "女生", "总分平均", then "<subject>平均" for each subject.
    int figureCount() const { return static_cast<int>(m_values.size()); }
    QString titleText(int figure) const;
    QString valueText(int figure) const;

private:
    QGridLayout* m_grid = nullptr;
    std::vector<QLabel*> m_titles;
    std::vector<QLabel*> m_values;
};
