#pragma once

#include <QChart>
#include <QFont>
#include <QString>
#include <QStringList>

#include <cstddef>

class CDivisionChartFigures;
class QCategoryAxis;
class QGraphicsSimpleTextItem;
class QValueAxis;

// One chart of a division, a bar or a box per class in the order of the
// statistics: how far each class's average of the total or of a subject
// lies above or below the whole school's (bars from a zero line, in
// points), the girls and boys of each class (bars from 0), how each
// class's scores spread (boxes on a scale of scores), or how many students
// of one category (of a condition column or a score band) each class has
// (bars from 0). The title names the
// chart on its first line and the school's figure on its second.
//
// Any window of classes can be shown. The class names stand level under
// their bars: whole when they fit, else without what all of them share
// (“3” for “高一(3)班”; the axis title then names the first and the last
// class), and when even those crowd, only every n-th class is named.
class CDivisionChart : public QChart
{
    Q_OBJECT

public:
    enum class Kind
    {
        Averages,
        Headcount,
        Distribution,
        Category
    };

    // The narrowest room a class gets, on screen and in a picture.
    static constexpr int kMinClassWidth = 26;

    // measure: a subject's position or CDivisionChartFigures::kTotal (not
    // used by Headcount); for Category the position of the category among
    // CDivisionChartFigures::GetCategoryTitles(). The figures need not outlive the chart. Its texts
    // are textScale times the program's font (larger in a picture, which
    // is read smaller than a window).
    CDivisionChart(const CDivisionChartFigures& figures, Kind kind, std::size_t measure, qreal textScale = 1.0);

    Kind kind() const { return m_kind; }
    int classCount() const { return static_cast<int>(m_names.size()); }
    int firstShown() const { return m_first; }
    int shownCount() const { return m_shown; }
    // Shows count classes from first on (all of them at first).
    void showClasses(int first, int count);

    // The title's lines as plain text: what the chart shows, and the
    // school's figure it is read against (empty when there is none).
    QString heading() const { return m_heading; }
    QString subtitle() const { return m_subtitle; }
    // Both on one line, for a file name's stem or a message.
    QString plainTitle() const;

    // Why there is nothing to draw, shown in the middle; empty otherwise.
    QString note() const { return m_noteText; }
    // Null when there is nothing to draw.
    QValueAxis* valueAxis() const { return m_valueAxis; }
    QCategoryAxis* classAxis() const { return m_classAxis; }
    // The texts under the class axis now, left to right.
    QStringList classLabels() const;
    // The classes those texts stand under.
    QList<int> labelledClasses() const { return m_labelledClasses; }
    // Every how many classes one is named: 1 when each is.
    int labelStep() const { return m_step; }
    // What a pointer resting on class i is told.
    QString tip(int i) const { return i >= 0 && i < m_tips.size() ? m_tips[i] : QString(); }

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private:
    QFont chartFont(qreal scale = 1.0, bool bold = false) const;
    void setTitles(const QString& heading, const QString& subtitle);
    void addAverages(const CDivisionChartFigures& figures, std::size_t measure);
    void addHeadcounts(const CDivisionChartFigures& figures);
    void addDistributions(const CDivisionChartFigures& figures, std::size_t measure);
    void addCategoryCounts(const CDivisionChartFigures& figures, std::size_t category);
    // A dashed line across every class at value.
    void addSchoolLine(const QString& name, double value);
    // The axis of a head count from 0 to a little above high.
    void addCountAxis(int high);
    void addValueAxis(QValueAxis* axis, const QString& title);
    void addClassAxis();
    void setNote(const QString& text);
    void labelClasses();
    void showTip(bool shown, int i);

    Kind m_kind;
    qreal m_textScale = 1.0;
    QString m_heading;
    QString m_subtitle;
    QStringList m_names;      // unique, with “（空）” for a class without students
    QStringList m_shortNames; // the same without what every name shares; empty when nothing is shared
    QStringList m_tips;
    QValueAxis* m_valueAxis = nullptr;
    QCategoryAxis* m_classAxis = nullptr;
    QGraphicsSimpleTextItem* m_note = nullptr;
    QString m_noteText;
    int m_first = 0;
    int m_shown = 0;
    int m_step = 1;
    QList<int> m_labelledClasses;
    // The labelling in place: first, count, short names, step, plot width.
    int m_labelled[5] = {-1, -1, -1, -1, -1};
};
