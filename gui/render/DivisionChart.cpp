#include "gui/render/DivisionChart.h"

#include "core/DivisionChartFigures.h"
#include "gui/common/UICore.h"

#include <QBarSeries>
#include <QBarSet>
#include <QBoxPlotSeries>
#include <QBoxSet>
#include <QCategoryAxis>
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

// A difference with its sign, "0" for none.
QString Signed(double value, int decimals)
{
    const QString digits = Number(std::abs(value), decimals);
    if (digits.toDouble() == 0.0)
        return QStringLiteral("0");
    return (value > 0 ? QStringLiteral("+") : QStringLiteral("-")) + digits;
}

// A step of 1, 2, 2.5 or 5 times a power of ten near raw; whole numbers
// only skip 2.5 and stay at 1 or more.
double NiceStep(double raw, bool wholeNumbers = false)
{
    if (wholeNumbers && raw <= 1.0)
        return 1.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / magnitude;
    const double nice = f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 2.5 && !wholeNumbers ? 2.5 : f <= 5.0 ? 5.0 : 10.0;
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

// 1, 2, 5, 10, 20, 50, …: every how many classes one is named.
int NextLabelStep(int step)
{
    int magnitude = 1;
    while (step >= magnitude * 10)
        magnitude *= 10;
    return step == magnitude ? 2 * step : step == 2 * magnitude ? 5 * magnitude : 10 * magnitude;
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The names without the part before and after that every one of them
// shares, never cutting a number in two; empty when they share no
// beginning or when a name would be left with nothing.
QStringList ShortNames(const QStringList& names)
{
    if (names.size() < 2)
        return QStringList();
    qsizetype shortest = names.front().size();
    for (const QString& name : names)
        shortest = std::min(shortest, name.size());
    qsizetype prefix = 0;
    while (prefix < shortest && std::all_of(names.begin(), names.end(), [&](const QString& name) {
               return name[prefix] == names.front()[prefix];
           }))
        ++prefix;
    while (prefix > 0 && IsDigit(names.front()[prefix - 1]))
        --prefix;
    if (prefix == 0)
        return QStringList();
    qsizetype suffix = 0;
    while (prefix + suffix < shortest && std::all_of(names.begin(), names.end(), [&](const QString& name) {
               return name[name.size() - 1 - suffix] == names.front()[names.front().size() - 1 - suffix];
           }))
        ++suffix;
    while (suffix > 0 && IsDigit(names.front()[names.front().size() - suffix]))
        --suffix;
    QStringList shortNames;
    for (const QString& name : names) {
        const QString core = name.mid(prefix, name.size() - prefix - suffix);
        if (core.isEmpty())
            return QStringList();
        shortNames.push_back(core);
    }
    return shortNames;
}

// Names as a class axis takes them: an empty class says so, and a name
// that repeats is told apart by invisible spaces.
QStringList AxisNames(QStringList names, const std::vector<Figures::ClassFigures>& classes)
{
    QStringList unique;
    for (qsizetype i = 0; i < names.size(); ++i) {
        QString name = names[i];
        if (classes[static_cast<std::size_t>(i)].count == 0)
            name += QStringLiteral("（空）");
        while (unique.contains(name))
            name += QChar(0x200B);
        unique.push_back(name);
    }
    return unique;
}

QString Headcount(const Figures::ClassFigures& c)
{
    return QStringLiteral("%1 人").arg(c.count);
}

} // namespace

CDivisionChart::CDivisionChart(const Figures& figures, Kind kind, std::size_t measure, qreal textScale)
    : m_kind(kind), m_textScale(textScale)
{
    QStringList names;
    for (const Figures::ClassFigures& c : figures.GetClasses())
        names.push_back(QString::fromStdString(c.name));
    m_names = AxisNames(names, figures.GetClasses());
    const QStringList shortNames = ShortNames(names);
    if (!shortNames.isEmpty())
        m_shortNames = AxisNames(shortNames, figures.GetClasses());

    setBackgroundRoundness(0);
    setMargins(QMargins(8, 6, 8, 6));
    setTitleFont(chartFont(1.35, true));
    setTitleBrush(kText);
    legend()->setFont(chartFont());
    legend()->setAlignment(Qt::AlignBottom);
    m_note = new QGraphicsSimpleTextItem(this);
    m_note->setFont(chartFont(1.2));
    m_note->setBrush(kText);
    // The room for the class names is known once the chart is laid out.
    connect(this, &QChart::plotAreaChanged, this, [this] { labelClasses(); });

    const QString subject = QString::fromStdString(figures.MeasureName(measure));
    switch (kind) {
    case Kind::Averages: setTitles(QStringLiteral("各班%1平均分与全校平均分之差").arg(subject), QString()); break;
    case Kind::Headcount: setTitles(QStringLiteral("各班男女生人数"), QString()); break;
    case Kind::Distribution: setTitles(QStringLiteral("各班%1分布").arg(subject), QString()); break;
    case Kind::Category:
        if (measure >= figures.GetCategoryTitles().size()) {
            setTitles(QStringLiteral("各班特别条件人数"), QString());
            setNote(QStringLiteral("这个任务没有特别条件或分数段。"));
            return;
        }
        setTitles(QStringLiteral("各班“%1”人数").arg(QString::fromStdString(figures.GetCategoryTitles()[measure])),
                  QString());
        break;
    }
    if (figures.GetClasses().empty()) {
        setNote(QStringLiteral("这个任务还没有班级，没有可画的图表。"));
        return;
    }
    if (!figures.HasPlacedStudents()) {
        setNote(QStringLiteral("各班还没有学生：分班之后这里画出各班的对比。"));
        return;
    }
    switch (kind) {
    case Kind::Averages: addAverages(figures, measure); break;
    case Kind::Headcount: addHeadcounts(figures); break;
    case Kind::Distribution: addDistributions(figures, measure); break;
    case Kind::Category: addCategoryCounts(figures, measure); break;
    }
    addClassAxis();
    showClasses(0, classCount());
}

QFont CDivisionChart::chartFont(qreal scale, bool bold) const
{
    QFont font = CUICore::instance()->getDefaultFont();
    font.setPointSizeF(font.pointSizeF() * scale * m_textScale);
    font.setBold(bold);
    return font;
}

void CDivisionChart::setTitles(const QString& heading, const QString& subtitle)
{
    m_heading = heading;
    m_subtitle = subtitle;
    QString html = heading.toHtmlEscaped();
    if (!subtitle.isEmpty())
        html += QStringLiteral("<br><span style=\"font-size:%1pt; font-weight:normal\">%2</span>")
                    .arg(chartFont().pointSizeF())
                    .arg(subtitle.toHtmlEscaped());
    // Both lines centred, not only the block they make.
    setTitle(QStringLiteral("<div align=\"center\">%1</div>").arg(html));
}

QString CDivisionChart::plainTitle() const
{
    return m_subtitle.isEmpty() ? m_heading : QStringLiteral("%1（%2）").arg(m_heading, m_subtitle);
}

void CDivisionChart::addAverages(const Figures& figures, std::size_t measure)
{
    // Bars of a few points on a scale of several hundred would have to
    // start far above 0 to show, and would then mislead by their length.
    // Each class is drawn as its distance from the school's average, in
    // points, from a zero line: a bar's length is the difference itself.
    const QString subject = QString::fromStdString(figures.MeasureName(measure));
    const double school = figures.GetSchool().Average(measure);
    auto* bars = new QBarSet(QStringLiteral("各班与全校平均分之差"));
    bars->setColor(kSky);
    bars->setBorderColor(kBlue);
    double reach = 0.0;
    for (const Figures::ClassFigures& c : figures.GetClasses()) {
        const QString name = QString::fromStdString(c.name);
        if (c.count <= 0) {
            bars->append(0.0);
            m_tips.push_back(QStringLiteral("%1：没有学生").arg(name));
            continue;
        }
        const double difference = static_cast<double>(c.Average(measure)) - school;
        bars->append(difference);
        reach = std::max(reach, std::abs(difference));
        const QString against =
            std::abs(difference) < 0.05
                ? QStringLiteral("与全校相同")
                : QStringLiteral("比全校%1 %2 分")
                      .arg(difference > 0 ? QStringLiteral("高") : QStringLiteral("低"), Number(std::abs(difference)));
        m_tips.push_back(QStringLiteral("%1：%2平均分 %3，%4（%5）")
                             .arg(name, subject, Number(c.Average(measure)), against, Headcount(c)));
    }
    setTitles(m_heading, QStringLiteral("全校%1平均分 %2 分，各班平均分极差 %3 分")
                             .arg(subject, Number(school), Number(figures.AverageSpread(measure))));
    auto* series = new QBarSeries();
    series->setBarWidth(0.7);
    series->append(bars);
    connect(bars, &QBarSet::hovered, this, &CDivisionChart::showTip);
    addSeries(series);
    addSchoolLine(QStringLiteral("全校平均分 %1 分（差为 0）").arg(Number(school)), 0.0);

    // As far above 0 as below, so that the sign shows at a glance; the
    // ticks say their sign.
    if (reach <= 0.0)
        reach = 0.5;
    const double step = NiceStep(reach * 1.1 / 4.0);
    const double top = std::ceil(reach * 1.1 / step - 1e-9) * step;
    const int decimals = DecimalsOf(step);
    auto* axis = new QCategoryAxis(this);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const int steps = static_cast<int>(std::lround(2 * top / step));
    axis->setStartValue(-top - step);
    for (int k = 0; k <= steps; ++k) {
        const double value = -top + k * step;
        axis->append(Signed(value, decimals), value);
    }
    axis->setRange(-top, top);
    addValueAxis(axis, QStringLiteral("与全校平均分之差（分）"));
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
    setTitles(m_heading, QStringLiteral("女生人数极差 %1 人，男生人数极差 %2 人")
                             .arg(figures.HeadcountSpread(true))
                             .arg(figures.HeadcountSpread(false)));
    auto* series = new QStackedBarSeries();
    series->setBarWidth(0.7);
    series->append(girls);
    series->append(boys);
    connect(girls, &QBarSet::hovered, this, &CDivisionChart::showTip);
    connect(boys, &QBarSet::hovered, this, &CDivisionChart::showTip);
    addSeries(series);

    // Stacked bars are read by their length: they start at 0.
    addCountAxis(high);
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
    setTitles(m_heading, QStringLiteral("箱内为中间一半学生，箱中横线为中位数，须线到最低与最高分"));
    connect(series, &QBoxPlotSeries::hovered, this, [this, series](bool shown, QBoxSet* box) {
        showTip(shown, static_cast<int>(series->boxSets().indexOf(box)));
    });
    addSeries(series);
    addSchoolLine(QStringLiteral("全校%1中位数 %2").arg(subject, Number(school.median)), school.median);

    // Boxes are read by where they stand, not by their length: the scale
    // covers the scores there are.
    double span = high - low;
    if (span <= 0.0)
        span = std::max(1.0, std::abs(high) * 0.1);
    const double step = NiceStep((span * 1.16) / 8.0);
    double bottom = std::floor((low - span * 0.08) / step + 1e-9) * step;
    const double top = std::ceil((high + span * 0.08) / step - 1e-9) * step;
    if (low >= 0.0)
        bottom = std::max(bottom, 0.0); // no room for negative scores
    auto* axis = new QValueAxis(this);
    axis->setRange(bottom, top);
    axis->setTickCount(static_cast<int>(std::lround((top - bottom) / step)) + 1);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(DecimalsOf(step)));
    addValueAxis(axis, QStringLiteral("分数"));
}

void CDivisionChart::addCategoryCounts(const Figures& figures, std::size_t category)
{
    const QString title = QString::fromStdString(figures.GetCategoryTitles()[category]);
    auto* bars = new QBarSet(QStringLiteral("“%1”人数").arg(title));
    bars->setColor(kSky);
    bars->setBorderColor(kBlue);
    int high = 0;
    int sum = 0;
    int classes = 0;
    for (const Figures::ClassFigures& c : figures.GetClasses()) {
        const int count = c.categoryCounts[category];
        bars->append(count);
        high = std::max(high, count);
        if (c.count > 0) {
            sum += count;
            ++classes;
        }
        m_tips.push_back(c.count > 0 ? QStringLiteral("%1：“%2” %3 人（%4）")
                                           .arg(QString::fromStdString(c.name), title)
                                           .arg(count)
                                           .arg(Headcount(c))
                                     : QStringLiteral("%1：没有学生").arg(QString::fromStdString(c.name)));
    }
    setTitles(m_heading, QStringLiteral("全校 %1 人，各班人数极差 %2 人")
                             .arg(figures.GetSchool().categoryCounts[category])
                             .arg(figures.CategorySpread(category)));
    auto* series = new QBarSeries();
    series->setBarWidth(0.7);
    series->append(bars);
    connect(bars, &QBarSet::hovered, this, &CDivisionChart::showTip);
    addSeries(series);
    // The even share of the classes with students, for the eye to compare.
    const double mean = classes > 0 ? static_cast<double>(sum) / classes : 0.0;
    addSchoolLine(QStringLiteral("各班平均 %1 人").arg(Number(mean)), mean);

    // Counts are read by their length: the bars start at 0.
    addCountAxis(high);
}

void CDivisionChart::addCountAxis(int high)
{
    const double step = NiceStep(std::max(1, high) * 1.08 / 8.0, true);
    const double top = std::max(step, std::ceil(high * 1.08 / step - 1e-9) * step);
    auto* axis = new QValueAxis(this);
    axis->setRange(0.0, top);
    axis->setTickCount(static_cast<int>(std::lround(top / step)) + 1);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    addValueAxis(axis, QStringLiteral("人数"));
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

void CDivisionChart::addValueAxis(QValueAxis* axis, const QString& title)
{
    m_valueAxis = axis;
    m_valueAxis->setLabelsFont(chartFont());
    m_valueAxis->setTitleFont(chartFont());
    m_valueAxis->setTitleText(title);
    addAxis(m_valueAxis, Qt::AlignLeft);
}

void CDivisionChart::addClassAxis()
{
    // A category axis on the classes' positions 0, 1, …, so that a name
    // can stand under any class, not necessarily under each.
    m_classAxis = new QCategoryAxis(this);
    m_classAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_classAxis->setLabelsFont(chartFont());
    m_classAxis->setLabelsColor(kText);
    m_classAxis->setLabelsAngle(0);
    m_classAxis->setTitleFont(chartFont());
    m_classAxis->setGridLineVisible(false);
    // The labelling below leaves room between the names; Qt's shortening
    // to "…" would only hide what they are.
    m_classAxis->setTruncateLabels(false);
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
    return m_classAxis ? m_classAxis->categoriesLabels() : QStringList();
}

void CDivisionChart::labelClasses()
{
    if (!m_classAxis || m_shown == 0)
        return;
    const QFontMetricsF metrics(m_classAxis->labelsFont());
    const QRectF plot = plotArea();
    // Before the chart has a size, every class is named in full.
    const bool laidOut = plot.width() > 0;
    const qreal perClass = laidOut ? plot.width() / m_shown : 1e6;
    const qreal gap = metrics.height() * 0.6;
    const auto widest = [&](const QStringList& names) {
        qreal wide = 0;
        for (int i = m_first; i < m_first + m_shown; ++i)
            wide = std::max(wide, metrics.horizontalAdvance(names[i]));
        return wide + gap;
    };
    const bool shortened = !m_shortNames.isEmpty() && widest(m_names) > perClass;
    const QStringList& names = shortened ? m_shortNames : m_names;
    const qreal wide = widest(names);
    int step = 1;
    while (step < m_shown && step * perClass < wide)
        step = NextLabelStep(step);

    // Each step-th class by its place in the whole list, so that a name
    // stays with its class while the classes scroll; none that would
    // stand out of the picture.
    QList<int> labelled;
    for (int i = m_first; i < m_first + m_shown; ++i) {
        if ((i + 1) % step != 0 && step > 1)
            continue;
        if (laidOut) {
            const qreal centre = plot.left() + (i - m_first + 0.5) * perClass;
            const qreal half = metrics.horizontalAdvance(names[i]) / 2;
            if (centre - half < 0 || centre + half > size().width())
                continue;
        }
        labelled.push_back(i);
    }
    // With a step of many, the first class is named too when its name
    // keeps clear of the next.
    if (step > 1 && (labelled.isEmpty() || labelled.front() != m_first)) {
        const qreal room = ((labelled.isEmpty() ? m_first + m_shown : labelled.front()) - m_first) * perClass;
        if (room >= wide && (!laidOut || plot.left() + perClass / 2 >= metrics.horizontalAdvance(names[m_first]) / 2))
            labelled.push_front(m_first);
    }
    QString axisTitle;
    if (shortened || step > 1) {
        axisTitle =
            QStringLiteral("%1 至 %2，共 %3 个班").arg(m_names[m_first], m_names[m_first + m_shown - 1]).arg(m_shown);
        if (step > 1)
            axisTitle += QStringLiteral("，每 %1 个班标注一个").arg(step);
    }
    QStringList texts;
    for (int i : labelled)
        texts.push_back(names[i]);
    if (texts == classLabels() && axisTitle == m_classAxis->titleText() && m_classAxis->min() == m_first - 0.5
        && m_classAxis->max() == m_first + m_shown - 0.5)
        return;

    m_step = step;
    m_labelledClasses = labelled;
    for (const QString& label : m_classAxis->categoriesLabels())
        m_classAxis->remove(label);
    m_classAxis->setStartValue(m_first - 0.5);
    for (int i : labelled)
        m_classAxis->append(names[i], i);
    m_classAxis->setRange(m_first - 0.5, m_first + m_shown - 0.5);
    m_classAxis->setTitleVisible(!axisTitle.isEmpty());
    m_classAxis->setTitleText(axisTitle);
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
