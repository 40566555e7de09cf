#pragma once

#include <QChart>
#include <QString>
#include <QStringList>

#include <cstddef>

class CDivisionChartFigures;
class QBoxSet;
class QBarCategoryAxis;
class QGraphicsSimpleTextItem;
class QValueAxis;

// One chart of a division, a bar or a box per class in the order of the
// statistics: the class averages of the total or of a subject against the
// whole school's, the girls and boys of each class, or how each class's
// scores spread. The value axis starts where the differences show and its
// title says where it starts and ends. Any window of classes can be shown;
// class names stand upright when they do not fit level, and give way to
// the range of classes when even that is too crowded.
class CDivisionChart : public QChart
{
    Q_OBJECT

public:
    enum class Kind
    {
        Averages,
        Headcount,
        Distribution
    };

    // measure: a subject's position or CDivisionChartFigures::kTotal (not
    // used by Headcount). The figures need not outlive the chart.
    CDivisionChart(const CDivisionChartFigures& figures, Kind kind, std::size_t measure);

    Kind kind() const { return m_kind; }
    int classCount() const { return static_cast<int>(m_names.size()); }
    int firstShown() const { return m_first; }
    int shownCount() const { return m_shown; }
    // Shows count classes from first on (all of them at first).
    void showClasses(int first, int count);

    // Why there is nothing to draw, shown in the middle; empty otherwise.
    QString note() const { return m_noteText; }
    // Null when there is nothing to draw.
    QValueAxis* valueAxis() const { return m_valueAxis; }
    // The class names shown on the class axis now (none when too crowded).
    QStringList classLabels() const;
    // What a pointer resting on class i is told.
    QString tip(int i) const { return i >= 0 && i < m_tips.size() ? m_tips[i] : QString(); }

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private:
    void addAverages(const CDivisionChartFigures& figures, std::size_t measure);
    void addHeadcounts(const CDivisionChartFigures& figures);
    void addDistributions(const CDivisionChartFigures& figures, std::size_t measure);
    // A dashed line across every class at the school's value.
    void addSchoolLine(const QString& name, double value);
    // Both axes; the value axis over [low, high], from 0 or where the
    // values begin.
    void addAxes(double low, double high, bool fromZero, const QString& quantity);
    void setNote(const QString& text);
    void labelClasses();
    void showTip(bool shown, int i);

    Kind m_kind;
    QStringList m_names; // unique, as the class axis needs them
    QStringList m_tips;
    QValueAxis* m_valueAxis = nullptr;
    QBarCategoryAxis* m_classAxis = nullptr;
    QGraphicsSimpleTextItem* m_note = nullptr;
    QString m_noteText;
    int m_first = 0;
    int m_shown = 0;
    // The labelling in place: first, count, whether named, angle.
    int m_labelled[4] = {-1, -1, -1, -1};
};
