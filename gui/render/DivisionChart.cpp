#include "gui/render/DivisionChart.h"

#include "core/DivisionChartFigures.h"
#include "gui/common/UICore.h"

#include <QBarSeries>
#include <QBarSet>
#include <QBoxPlotSeries>
#include <QBoxSet>
#include <QBarCategoryAxis>
#include <QCursor>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsSceneResizeEvent>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Colours told apart also with the common forms of colour blindness.
const QColor kBlue(0x00, 0x72, 0xB2);
const QColor kSky(0x56, 0xB4, 0xE9);
const QColor kOrange(0xE6, 0x9F, 0x00);
const QColor kVermillion(0xD5, 0x5E, 0x00);
const QColor kText(0x20, 0x20, 0x20);

using Figures = CDivisionChartFigures;

QString Number(double value, int decimals = 1)
{
    return QString::number(value, 'f', decimals);
}

QFont ChartFont(double scale = 1.0, bool bold = false)
{
    QFont font = CUICore::instance()->getDefaultFont();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    return font;
}

// A step of 1, 2, 2.5 or 5 times a power of ten near raw.
double NiceStep(double raw)
{
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / magnitude;
    const double nice = f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 2.5 ? 2.5 : f <= 5.0 ? 5.0 : 10.0;
    return nice * magnitude;
}

// Decimals that write every multiple of step exactly (at most 2).
int DecimalsOf(double step)
{
    int decimals = 0;
    while (decimals < 2
           && std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-6)
        ++decimals;
    return decimals;
}

// The class names as the class axis takes them: an empty class says so,
// and a name that repeats is told apart by invisible spaces.
QStringList AxisNames(const Figures& figures)
{
    QStringList names;
    for (const Figures::ClassFigures& c : figures.GetClasses()) {
        QString name = QString::fromStdString(c.name);
        if (c.count == 0)
            name += QStringLiteral("（空）");
        while (names.contains(name))
            name += QChar(0x200B);
        names.push_back(name);
    }
    return names;
}

QString Headcount(const Figures::ClassFigures& c)
{
    return QStringLiteral("%1 人").arg(c.count);
}

} // namespace

CDivisionChart::CDivisionChart(const Figures& figures, Kind kind, std::size_t measure)
    : m_kind(kind), m_names(AxisNames(figures))
{
    setBackgroundRoundness(0);
    setMargins(QMargins(6, 6, 6, 6));
    setTitleFont(ChartFont(1.35, true));
    setTitleBrush(kText);
    legend()->setFont(ChartFont());
    legend()->setAlignment(Qt::AlignBottom);
    m_note = new QGraphicsSimpleTextItem(this);
    m_note->setFont(ChartFont(1.2));
    m_note->setBrush(kText);
    // The room for the class names is known once the chart is laid out.
    connect(this, &QChart::plotAreaChanged, this, [this] { labelClasses(); });

    const QString subject = QString::fromStdString(figures.MeasureName(measure));
    switch (kind) {
    case Kind::Averages:
        setTitle(QStringLiteral("%1平均分（极差 %2 分）").arg(subject, Number(figures.AverageSpread(measure))));
        break;
    case Kind::Headcount:
        setTitle(QStringLiteral("各班男女生人数（女生极差 %1 人，男生极差 %2 人）")
                     .arg(figures.HeadcountSpread(true))
                     .arg(figures.HeadcountSpread(false)));
        break;
    case Kind::Distribution:
        setTitle(QStringLiteral("各班%1分布（箱内为中间一半学生，横线为中位数，须线到最低与最高分）").arg(subject));
        break;
    }

    if (figures.GetClasses().empty()) {
        setTitle(title().section(QStringLiteral("（"), 0, 0));
        setNote(QStringLiteral("这个任务还没有班级，没有可画的图表。"));
        return;
    }
    if (!figures.HasPlacedStudents()) {
        setTitle(title().section(QStringLiteral("（"), 0, 0));
        setNote(QStringLiteral("各班还没有学生：分班之后这里画出各班的对比。"));
        return;
    }
    switch (kind) {
    case Kind::Averages: addAverages(figures, measure); break;
    case Kind::Headcount: addHeadcounts(figures); break;
    case Kind::Distribution: addDistributions(figures, measure); break;
    }
    showClasses(0, classCount());
}

void CDivisionChart::addAverages(const Figures& figures, std::size_t measure)
{
    const QString subject = QString::fromStdString(figures.MeasureName(measure));
    auto* bars = new QBarSet(QStringLiteral("各班%1平均分").arg(subject));
    bars->setColor(kSky);
    bars->setBorderColor(kBlue);
    const float school = figures.GetSchool().Average(measure);
    double low = school;
    double high = school;
    for (const Figures::ClassFigures& c : figures.GetClasses()) {
        const float average = c.Average(measure);
        bars->append(c.count > 0 ? average : 0.0);
        m_tips.push_back(c.count > 0 ? QStringLiteral("%1：%2平均分 %3（%4）")
                                           .arg(QString::fromStdString(c.name), subject, Number(average), Headcount(c))
                                     : QStringLiteral("%1：没有学生").arg(QString::fromStdString(c.name)));
        if (c.count > 0) {
            low = std::min<double>(low, average);
            high = std::max<double>(high, average);
        }
    }
    auto* series = new QBarSeries();
    series->setBarWidth(0.7);
    series->append(bars);
    connect(bars, &QBarSet::hovered, this, &CDivisionChart::showTip);
    addSeries(series);
    addSchoolLine(QStringLiteral("全校%1平均分 %2").arg(subject, Number(school)), school);
    addAxes(low, high, false, QStringLiteral("平均分"));
}

void CDivisionChart::addHeadcounts(const Figures& figures)
{
    auto* girls = new QBarSet(QStringLiteral("女生"));
    auto* boys = new QBarSet(QStringLiteral("男生"));
    girls->setColor(kOrange);
    girls->setBorderColor(kOrange.darker(130));
    boys->setColor(kBlue);
    boys->setBorderColor(kBlue.darker(130));
    int high = 0;
    for (const Figures::ClassFigures& c : figures.GetClasses()) {
        girls->append(c.girls);
        boys->append(c.boys);
        high = std::max(high, c.count);
        m_tips.push_back(QStringLiteral("%1：女生 %2，男生 %3（%4）")
                             .arg(QString::fromStdString(c.name))
                             .arg(c.girls)
                             .arg(c.boys)
                             .arg(Headcount(c)));
    }
    auto* series = new QStackedBarSeries();
    series->setBarWidth(0.7);
    series->append(girls);
    series->append(boys);
    connect(girls, &QBarSet::hovered, this, &CDivisionChart::showTip);
    connect(boys, &QBarSet::hovered, this, &CDivisionChart::showTip);
    addSeries(series);
    // Stacked bars are read by their length: they start at 0.
    addAxes(0, high, true, QStringLiteral("人数"));
}

void CDivisionChart::addDistributions(const Figures& figures, std::size_t measure)
{
    const QString subject = QString::fromStdString(figures.MeasureName(measure));
    const auto distributions = figures.ClassDistributions(measure);
    const Figures::Distribution school = figures.SchoolDistribution(measure);
    double low = school.median;
    double high = school.median;
    for (const Figures::Distribution& d : distributions) {
        if (d.count > 0) {
            low = std::min<double>(low, d.minimum);
            high = std::max<double>(high, d.maximum);
        }
    }
    // A class without students gets a box far below the axis, out of sight,
    // so that every other box keeps its place.
    const double hidden = low - 1000.0 * std::max(1.0, high - low);
    auto* series = new QBoxPlotSeries();
    series->setName(QStringLiteral("各班%1分数").arg(subject));
    series->setBoxWidth(0.6);
    series->setBrush(kSky);
    series->setPen(QPen(kBlue, 1.5));
    for (std::size_t i = 0; i < distributions.size(); ++i) {
        const Figures::Distribution& d = distributions[i];
        const Figures::ClassFigures& c = figures.GetClasses()[i];
        auto* box = d.count > 0 ? new QBoxSet(d.minimum, d.lowerQuartile, d.median, d.upperQuartile, d.maximum)
                                : new QBoxSet(hidden, hidden, hidden, hidden, hidden);
        series->append(box);
        m_tips.push_back(
            d.count > 0 ? QStringLiteral("%1 %2：最低 %3，下四分位 %4，中位数 %5，上四分位 %6，最高 %7（%8）")
                              .arg(QString::fromStdString(c.name), subject, Number(d.minimum), Number(d.lowerQuartile),
                                   Number(d.median), Number(d.upperQuartile), Number(d.maximum), Headcount(c))
                        : QStringLiteral("%1：没有学生").arg(QString::fromStdString(c.name)));
    }
    connect(series, &QBoxPlotSeries::hovered, this, [this, series](bool shown, QBoxSet* box) {
        showTip(shown, static_cast<int>(series->boxSets().indexOf(box)));
    });
    addSeries(series);
    addSchoolLine(QStringLiteral("全校%1中位数 %2").arg(subject, Number(school.median)), school.median);
    addAxes(low, high, false, QStringLiteral("分数"));
}

void CDivisionChart::addSchoolLine(const QString& name, double value)
{
    auto* line = new QLineSeries();
    line->setName(name);
    line->append(-0.5, value);
    line->append(classCount() - 0.5, value);
    line->setPen(QPen(kVermillion, 2.0, Qt::DashLine));
    addSeries(line);
}

void CDivisionChart::addAxes(double low, double high, bool fromZero, const QString& quantity)
{
    const double lowest = fromZero ? 0.0 : low;
    double span = high - lowest;
    if (span <= 0.0)
        span = std::max(1.0, std::abs(high) * 0.1);
    double top = high + span * 0.08;
    double bottom = fromZero ? 0.0 : lowest - span * 0.15;
    const double step = NiceStep((top - bottom) / 8.0);
    bottom = std::floor(bottom / step + 1e-9) * step;
    top = std::ceil(top / step - 1e-9) * step;
    if (lowest >= 0.0)
        bottom = std::max(bottom, 0.0); // no room for negative scores
    const int decimals = DecimalsOf(step);

    m_valueAxis = new QValueAxis(this);
    m_valueAxis->setRange(bottom, top);
    m_valueAxis->setTickCount(static_cast<int>(std::lround((top - bottom) / step)) + 1);
    m_valueAxis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
    m_valueAxis->setLabelsFont(ChartFont());
    m_valueAxis->setTitleFont(ChartFont());
    // Honest about a value axis that does not start at 0.
    m_valueAxis->setTitleText(bottom > 0.0 ? QStringLiteral("%1（纵轴 %2 – %3，不从 0 起）")
                                                 .arg(quantity, Number(bottom, decimals), Number(top, decimals))
                                           : quantity);
    addAxis(m_valueAxis, Qt::AlignLeft);

    m_classAxis = new QBarCategoryAxis(this);
    m_classAxis->append(m_names);
    m_classAxis->setLabelsFont(ChartFont());
    m_classAxis->setTitleFont(ChartFont());
    m_classAxis->setGridLineVisible(false);
    addAxis(m_classAxis, Qt::AlignBottom);

    for (QAbstractSeries* s : series()) {
        s->attachAxis(m_classAxis);
        s->attachAxis(m_valueAxis);
    }
}

void CDivisionChart::setNote(const QString& text)
{
    m_noteText = text;
    m_note->setText(text);
    legend()->hide();
}

void CDivisionChart::showClasses(int first, int count)
{
    if (!m_classAxis)
        return;
    const int n = classCount();
    m_shown = std::clamp(count, 1, n);
    m_first = std::clamp(first, 0, n - m_shown);
    labelClasses();
}

QStringList CDivisionChart::classLabels() const
{
    if (!m_classAxis || !m_labelled[2])
        return QStringList();
    return m_names.mid(m_first, m_shown);
}

void CDivisionChart::labelClasses()
{
    if (!m_classAxis || m_shown == 0)
        return;
    const QFontMetricsF metrics(m_classAxis->labelsFont());
    // Before the chart has a size, every class is named.
    const qreal width = plotArea().width() > 0 ? plotArea().width() : size().width() - 90;
    const qreal perClass = width > 0 ? width / m_shown : 1000.0;
    qreal widest = 0;
    for (int i = m_first; i < m_first + m_shown; ++i)
        widest = std::max(widest, metrics.horizontalAdvance(m_names[i]));
    // Level when every name fits under its bar, else upright; when even
    // upright names would overlap, the axis says which classes it spans.
    const bool named = perClass >= metrics.height() + 4;
    const int angle = widest + 12 <= perClass || !named ? 0 : -90;
    const int labelling[4] = {m_first, m_shown, named, angle};
    if (std::equal(labelling, labelling + 4, m_labelled))
        return;
    std::copy(labelling, labelling + 4, m_labelled);

    const QString& first = m_names[m_first];
    const QString& last = m_names[m_first + m_shown - 1];
    // Names too crowded to read are left out of sight; they still keep the
    // axis's room, which its title needs.
    m_classAxis->setLabelsColor(named ? kText : QColor(Qt::transparent));
    m_classAxis->setLabelsAngle(angle);
    m_classAxis->setTitleVisible(!named);
    m_classAxis->setTitleText(
        named ? QString() : QStringLiteral("%1 至 %2，共 %3 个班（班级太密，名称从略）").arg(first, last).arg(m_shown));
    m_classAxis->setRange(first, last);
    // The names took another room; the chart lays itself out afresh.
    if (layout())
        layout()->invalidate();
}

void CDivisionChart::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    QChart::resizeEvent(event);
    const QRectF note = m_note->boundingRect();
    m_note->setPos((event->newSize().width() - note.width()) / 2, (event->newSize().height() - note.height()) / 2);
    labelClasses();
}

void CDivisionChart::showTip(bool shown, int i)
{
    if (shown && i >= 0)
        QToolTip::showText(QCursor::pos(), tip(i));
    else
        QToolTip::hideText();
}
