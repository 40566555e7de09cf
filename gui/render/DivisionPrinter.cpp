#include "gui/render/DivisionPrinter.h"

#include "base/records/ClassInfo.h"
#include "core/DivisionCategoryCounts.h"
#include "core/DivisionStatistics.h"
#include "core/DivisionTableData.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "gui/render/TablePrinter.h"

#include <algorithm>
#include <unordered_map>

namespace {

using P = CTablePrinter;

QStringList Texts(const std::vector<std::string>& texts, std::size_t from)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size() - std::min(from, texts.size())));
    for (std::size_t i = from; i < texts.size(); ++i)
        list << QString::fromStdString(texts[i]);
    return list;
}

// Page geometry of the printed results.
constexpr double kTopMarginPoints = 36;
constexpr double kBottomMarginMm = 18;
constexpr double kSideMarginMm = 12;
constexpr double kCellGapMm = 4;
constexpr double kRuleMm = 0.2;

// Lays out and prints the sections; keeps the state the page hook needs.
class SectionPrinter
{
public:
    explicit SectionPrinter(CTablePrinter& printer) : m_printer(printer) {}

    bool print(const std::vector<CDivisionPrinter::Section>& sections)
    {
        const QString face = QStringLiteral("宋体");
        m_body = m_printer.AddFont(face, 10, 9);
        m_heading = m_printer.AddFont(face, 16, 10);
        m_footer = m_printer.AddFont(face, 9, 9);

        const int side = m_printer.millimetresToPixels(kSideMarginMm);
        const int gap = m_printer.millimetresToPixels(kCellGapMm);
        std::vector<int> widths = columnWidths(sections);
        int table = 0;
        for (int width : widths)
            table += width + gap;
        auto orientation = P::Orientation::Portrait;
        if (table > m_printer.printableWidth(orientation) - 2 * side)
            orientation = P::Orientation::Landscape;
        // Too many columns even across the page: narrower columns.
        CTablePrinter::fitColumns(widths, gap, m_printer.printableWidth(orientation) - 2 * side);
        m_printer.SetOrientation(orientation);
        if (!m_printer.StartDoc())
            return false;

        m_bottom = m_printer.millimetresToPixels(kBottomMarginMm);
        m_printer.SetMargins(static_cast<int>(kTopMarginPoints), m_bottom, side, side);
        m_printer.SetLineSpacing(2);
        m_printer.setRuledTable(widths, gap, m_printer.millimetresToPixels(kRuleMm));
        m_printer.setPageHook([this](CTablePrinter&, int page, P::PagePart part) { onPage(page, part); });
        m_printer.enableHook(true);

        for (const auto& section : sections) {
            m_section = &section;
            // Once without output to learn the number of pages for the footer.
            m_printer.setLayoutOnly(true);
            m_pages = 0;
            printSection(section);
            m_pages = m_printer.getPageNumber();
            m_printer.setLayoutOnly(false);
            if (printSection(section) != 0) {
                m_printer.EndDoc();
                return false;
            }
        }
        return m_printer.EndDoc();
    }

private:
    std::vector<int> columnWidths(const std::vector<CDivisionPrinter::Section>& sections) const
    {
        std::vector<int> widths;
        auto widen = [&](const QStringList& cells, int variant) {
            if (widths.size() < static_cast<std::size_t>(cells.size()))
                widths.resize(static_cast<std::size_t>(cells.size()), 0);
            for (qsizetype i = 0; i < cells.size(); ++i) {
                int& width = widths[static_cast<std::size_t>(i)];
                width = std::max(width, m_printer.textWidth(m_body, variant, cells.at(i)));
            }
        };
        for (const auto& section : sections) {
            widen(section.columns, P::Bold);
            for (const QStringList& row : section.rows)
                widen(row, P::Normal);
        }
        return widths;
    }

    int printSection(const CDivisionPrinter::Section& section)
    {
        if (m_printer.StartPage() != 0)
            return -1;
        m_printer.restartPageNumbers();
        m_printer.SelectFontVariant(m_heading, P::Bold);
        m_printer.PrintText(m_heading, section.title, P::AlignCentre);
        if (!section.summary.isEmpty()) {
            m_printer.SelectFontVariant(m_heading, P::SmallNormal);
            m_printer.PrintText(m_heading, section.summary, P::AlignCentre);
        }
        m_printer.PrintBlankLines(m_footer, 1);
        printColumnTitles();
        m_printer.SelectFontVariant(m_body, P::Normal);
        for (const QStringList& row : section.rows)
            m_printer.printTableCells(m_body, row, P::AlignCentre);
        m_printer.EndPage();
        return 0;
    }

    void printColumnTitles()
    {
        m_printer.SelectFontVariant(m_body, P::Bold);
        m_printer.printTableCells(m_body, m_section->columns, P::AlignCentre);
    }

    void onPage(int page, P::PagePart part)
    {
        if (part == P::PagePart::Header) {
            if (page == 1)
                return; // the section's own title heads its first page
            m_printer.SelectFontVariant(m_heading, P::SmallNormal);
            m_printer.PrintText(m_heading, m_section->title + QStringLiteral("（续）"), P::AlignCentre);
            m_printer.PrintBlankLines(m_footer, 1);
            printColumnTitles();
            return;
        }
        // The footer sits in the middle of the bottom margin.
        const int y = m_printer.getY();
        m_printer.setY(m_printer.getPageHeight() - m_bottom + (m_bottom - m_printer.textHeight(m_footer)) / 2);
        m_printer.PrintText(m_footer, QStringLiteral("第 %1 页 / 共 %2 页").arg(page).arg(std::max(m_pages, page)),
                            P::AlignCentre | P::KeepLine);
        m_printer.setY(y);
    }

    CTablePrinter& m_printer;
    int m_body = -1;
    int m_heading = -1;
    int m_footer = -1;
    int m_bottom = 0;
    const CDivisionPrinter::Section* m_section = nullptr;
    int m_pages = 0;
};

} // namespace

std::vector<CDivisionPrinter::Section> CDivisionPrinter::classRosters(CScheduleTask& task, const std::string& classId)
{
    CDivisionTableData table(task);
    table.Fill(classId);
    const QStringList columns = Texts(table.ColumnTitles(), CDivisionTableData::ColumnNumber);

    std::vector<Section> sections;
    std::unordered_map<std::string, std::size_t> sectionOfClass;
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task)) {
        if (!classId.empty() && info->GetId() != classId)
            continue;
        sectionOfClass.emplace(info->GetId(), sections.size());
        sections.push_back({QString::fromStdString(info->GetName()), QString(), columns, {}});
    }

    // The rows come in student index order; each goes to its class's roster
    // and is numbered there.
    std::vector<int> girls(sections.size(), 0);
    const CQZObjectList& students = task.GetStudentInfoList();
    for (std::size_t row = 0; row < table.GetRowCount(); ++row) {
        const CStudentInfo* student = students.FindAs<CStudentInfo>(table.GetRows()[row].studentId);
        const auto found = student ? sectionOfClass.find(student->ClassIdRef()) : sectionOfClass.end();
        if (found == sectionOfClass.end())
            continue;
        Section& section = sections[found->second];
        QStringList cells;
        cells.reserve(table.GetColumnCount() - CDivisionTableData::ColumnNumber);
        cells << QString::number(section.rows.size() + 1);
        for (int column = CDivisionTableData::ColumnName; column < table.GetColumnCount(); ++column)
            cells << QString::fromStdString(table.CellText(row, column));
        if (table.GetRows()[row].sex == "女")
            ++girls[found->second];
        section.rows.push_back(std::move(cells));
    }
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const int count = static_cast<int>(sections[i].rows.size());
        sections[i].summary =
            QStringLiteral("共 %1 人，女生 %2 人，男生 %3 人").arg(count).arg(girls[i]).arg(count - girls[i]);
    }
    return sections;
}

CDivisionPrinter::Section CDivisionPrinter::statistics(const CScheduleTask& task)
{
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    Section section;
    section.title = QStringLiteral("分班统计表");
    section.summary = QString::fromStdString(task.GetTaskInfo().GetTaskName());
    // The class id column stays internal; the categories' counts follow
    // the averages.
    const CDivisionCategoryCounts categories(task);
    std::vector<std::string> titles = CDivisionStatistics::ColumnTitles(task.GetCustomSubjectArray());
    titles.insert(titles.end(), categories.ColumnTitles().begin(), categories.ColumnTitles().end());
    section.columns = Texts(titles, 1);
    for (const auto& row : statistics.GetRows()) {
        std::vector<std::string> texts = CDivisionStatistics::RowTexts(row);
        const std::vector<std::string> counts = categories.CountTexts(row.classId);
        texts.insert(texts.end(), counts.begin(), counts.end());
        section.rows.push_back(Texts(texts, 1));
    }
    return section;
}

bool CDivisionPrinter::print(CTablePrinter& printer, const std::vector<Section>& sections)
{
    SectionPrinter section(printer);
    return section.print(sections);
}
