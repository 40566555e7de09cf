#include "gui/render/PublicationPrinter.h"

#include "gui/render/TablePrinter.h"
#include "logic/export/PublicationList.h"
#include "logic/export/WorkbookWriter.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

using P = CTablePrinter;

constexpr double kTopMarginPoints = 36;
constexpr double kBottomMarginMm = 18;
constexpr double kSideMarginMm = 15;
constexpr double kCellGapMm = 5;
constexpr double kRuleMm = 0.2;

QStringList Texts(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const std::string& text : texts)
        list << QString::fromStdString(text);
    return list;
}

class ListPrinter
{
public:
    ListPrinter(CTablePrinter& printer, const CPublicationList& list, const QString& footer)
        : m_printer(printer),
          m_list(list),
          m_footer(footer),
          m_title(QString::fromStdString(list.Title())),
          m_columns(Texts(list.ColumnTitles()))
    {
    }

    bool print()
    {
        const QString face = QStringLiteral("宋体");
        m_body = m_printer.AddFont(face, 11, 9);
        m_heading = m_printer.AddFont(face, 16, 12);
        m_footerFont = m_printer.AddFont(face, 9, 9);

        const int side = m_printer.millimetresToPixels(kSideMarginMm);
        const int gap = m_printer.millimetresToPixels(kCellGapMm);
        // The same columns on every page: as wide as the widest cell of any class.
        std::vector<int> widths(static_cast<std::size_t>(m_columns.size()), 0);
        auto widen = [&](const QStringList& cells, int variant) {
            for (qsizetype i = 0; i < cells.size() && i < m_columns.size(); ++i) {
                int& width = widths[static_cast<std::size_t>(i)];
                width = std::max(width, m_printer.textWidth(m_body, variant, cells.at(i)));
            }
        };
        widen(m_columns, P::Bold);
        for (const auto& classList : m_list.GetClasses())
            for (const auto& row : classList.rows)
                widen(Texts(row), P::Normal);
        // Long school names: narrower columns, the longest texts cut.
        CTablePrinter::fitColumns(widths, gap, m_printer.printableWidth(P::Orientation::Portrait) - 2 * side);
        m_printer.SetOrientation(P::Orientation::Portrait);
        if (!m_printer.StartDoc())
            return false;

        m_bottom = m_printer.millimetresToPixels(kBottomMarginMm);
        m_printer.SetMargins(static_cast<int>(kTopMarginPoints), m_bottom, side, side);
        m_printer.SetLineSpacing(3);
        m_printer.setRuledTable(widths, gap, m_printer.millimetresToPixels(kRuleMm));
        m_printer.setPageHook([this](CTablePrinter&, int page, P::PagePart part) { onPage(page, part); });
        m_printer.enableHook(true);

        for (const auto& classList : m_list.GetClasses()) {
            m_classLine = QString::fromStdString(CPublicationList::ClassLine(classList));
            if (printClass(classList) != 0) {
                m_printer.EndDoc();
                return false;
            }
        }
        return m_printer.EndDoc();
    }

private:
    int printClass(const CPublicationList::ClassList& classList)
    {
        if (m_printer.StartPage() != 0)
            return -1;
        m_printer.restartPageNumbers();
        m_printer.SelectFontVariant(m_heading, P::Bold);
        m_printer.PrintText(m_heading, m_title, P::AlignCentre);
        m_printer.PrintBlankLines(m_footerFont, 1);
        m_printer.SelectFontVariant(m_heading, P::SmallNormal);
        m_printer.PrintText(m_heading, m_classLine, P::AlignCentre);
        m_printer.PrintBlankLines(m_footerFont, 1);
        printColumnTitles();
        m_printer.SelectFontVariant(m_body, P::Normal);
        for (const auto& row : classList.rows)
            m_printer.printTableCells(m_body, Texts(row), P::AlignCentre);
        m_printer.EndPage();
        return 0;
    }

    void printColumnTitles()
    {
        m_printer.SelectFontVariant(m_body, P::Bold);
        m_printer.printTableCells(m_body, m_columns, P::AlignCentre);
        m_printer.SelectFontVariant(m_body, P::Normal);
    }

    void onPage(int page, P::PagePart part)
    {
        if (part == P::PagePart::Header) {
            if (page == 1)
                return; // the class's own lines head its first page
            m_printer.SelectFontVariant(m_heading, P::SmallNormal);
            m_printer.PrintText(m_heading, m_classLine + QStringLiteral("（续）"), P::AlignCentre);
            m_printer.PrintBlankLines(m_footerFont, 1);
            printColumnTitles();
            return;
        }
        if (m_footer.isEmpty())
            return;
        // The footer sits in the middle of the bottom margin.
        const int y = m_printer.getY();
        m_printer.SelectFontVariant(m_footerFont, P::Normal);
        m_printer.setY(m_printer.getPageHeight() - m_bottom + (m_bottom - m_printer.textHeight(m_footerFont)) / 2);
        m_printer.PrintText(m_footerFont, m_footer, P::AlignCentre | P::KeepLine);
        m_printer.setY(y);
    }

    CTablePrinter& m_printer;
    const CPublicationList& m_list;
    const QString m_footer;
    const QString m_title;
    const QStringList m_columns;
    QString m_classLine;
    int m_body = -1;
    int m_heading = -1;
    int m_footerFont = -1;
    int m_bottom = 0;
};

} // namespace

bool CPublicationPrinter::print(CTablePrinter& printer, const CPublicationList& list, const QString& footer)
{
    ListPrinter lists(printer, list, footer);
    return lists.print();
}

bool CPublicationPrinter::save(const CPublicationList& list, const QString& path, const QString& footer, QString& error)
{
    if (list.IsEmpty()) {
        error = QString::fromUtf8(CPublicationList::kNothingToPost);
        return false;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("xlsx")) {
        std::string reason;
        if (CWorkbookWriter::ExportTables(path.toStdString(), list.Sheets(footer.toStdString()), reason))
            return true;
        error = QString::fromStdString(reason);
        return false;
    }
    if (suffix != QStringLiteral("pdf")) {
        error = QStringLiteral("公示名单只能保存为 .pdf 或 .xlsx 文件：%1").arg(path);
        return false;
    }
    CTablePrinter printer;
    if (printer.StartPdf(path) != 0 || !print(printer, list, footer)) {
        error = QStringLiteral("无法写入文件：%1").arg(path);
        return false;
    }
    return true;
}
