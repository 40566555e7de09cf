#include "gui/results/ClassFiguresBand.h"

#include "core/ClassStatistics.h"
#include "core/DivisionStatistics.h"

#include <QGridLayout>
#include <QLabel>

namespace {
// Cells in a row before the band starts another one.
constexpr int kFiguresPerRow = 6;

QString countText(int count)
{
    return QString::number(count);
}

QString averageText(float average)
{
    return QString::fromStdString(CDivisionStatistics::FormatAverage(average));
}

// The figures of a class in the band's order, as shown.
std::vector<QString> figureTexts(const CClassStatistics& statistics, std::size_t subjects)
{
    std::vector<QString> texts = {countText(statistics.count), countText(statistics.girls),
                                  averageText(statistics.totalAverage)};
    for (std::size_t k = 0; k < subjects; ++k)
        texts.push_back(averageText(k < statistics.scoreAverages.size() ? statistics.scoreAverages[k] : 0.0f));
    return texts;
}
} // namespace

CClassFiguresBand::CClassFiguresBand(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    m_grid = new QGridLayout(this);
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(2);
    setSubjects({});
}

void CClassFiguresBand::setSubjects(const std::vector<std::string>& subjectNames)
{
    for (QLabel* label : m_titles)
        delete label;
    for (QLabel* label : m_values)
        delete label;
    m_titles.clear();
    m_values.clear();

    std::vector<QString> titles = {QStringLiteral("人数"), QStringLiteral("女生"), QStringLiteral("总分平均")};
    for (const std::string& name : subjectNames)
        titles.push_back(QString::fromStdString(name) + QStringLiteral("平均"));
    for (std::size_t k = 0; k < titles.size(); ++k) {
        const int row = static_cast<int>(k) / kFiguresPerRow * 2;
        const int column = static_cast<int>(k) % kFiguresPerRow;
        auto* title = new QLabel(titles[k], this);
        auto* value = new QLabel(this);
        title->setFont(font());
        value->setFont(font());
        title->setForegroundRole(QPalette::PlaceholderText);
        m_grid->addWidget(title, row, column);
        m_grid->addWidget(value, row + 1, column);
        m_titles.push_back(title);
        m_values.push_back(value);
    }
    for (int column = 0; column < kFiguresPerRow; ++column)
        m_grid->setColumnStretch(column, 1);
}

void CClassFiguresBand::showFigures(const CClassStatistics& now, const CClassStatistics* after)
{
    const std::size_t subjects = m_values.size() - 3;
    const std::vector<QString> current = figureTexts(now, subjects);
    const std::vector<QString> coming = after ? figureTexts(*after, subjects) : current;
    for (std::size_t k = 0; k < m_values.size(); ++k) {
        QLabel* value = m_values[k];
        const bool changes = coming[k] != current[k];
        value->setText(changes ? current[k] + QStringLiteral(" → ") + coming[k] : current[k]);
        QFont bold = font();
        bold.setBold(changes);
        value->setFont(bold);
    }
}

QString CClassFiguresBand::titleText(int figure) const
{
    return figure >= 0 && figure < figureCount() ? m_titles[static_cast<std::size_t>(figure)]->text() : QString();
}

QString CClassFiguresBand::valueText(int figure) const
{
    return figure >= 0 && figure < figureCount() ? m_values[static_cast<std::size_t>(figure)]->text() : QString();
}
