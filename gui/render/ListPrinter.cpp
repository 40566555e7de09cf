#include "gui/render/ListPrinter.h"

#include "gui/render/TablePrinter.h"

#include <cmath>

namespace {
// The widths a list has on the screen are for a display of this many dots
// per inch; on paper the columns keep their on-screen size.
constexpr double kScreenDpi = 96.0;
} // namespace

bool CListPrinter::printWithDialog(QWidget* parent, const List& list)
{
    CTablePrinter printer;
    if (printer.StartPrint(parent) != 0)
        return true; // cancelled: nothing printed, nothing to report
    return print(printer, list);
}

bool CListPrinter::print(CTablePrinter& printer, const List& list)
{
    using P = CTablePrinter;
    printer.SetOrientation(P::Orientation::Portrait);
    if (!printer.StartDoc())
        return false;
    const QString face = QStringLiteral("宋体");
    const int small = printer.AddFont(face, 8, 8);
    printer.AddFont(face, 9, 9);
    const int large = printer.AddFont(face, 10, 10);
    printer.SetMargins(40, 160, 200, 200);
    printer.SetLineSpacing(5);
    printer.SelectFont(small);
    if (printer.StartPage() != 0) {
        printer.EndDoc();
        return false;
    }
    printer.PrintText(large, list.title, P::AlignCentre);
    printer.PrintBlankLines(large, 1);
    printer.PrintBlankLines(large, 1);

    std::vector<int> widths;
    const double scale = printer.getResolution() / kScreenDpi;
    for (int width : list.columnWidths)
        widths.push_back(static_cast<int>(std::lround(width * scale)));
    printer.SetColumns(widths);
    printer.setHorizontalRules(true);
    printer.setVerticalRules(true);
    printer.setCellGap(200);
    printer.setTableAlignment(P::TableAlignment::Centre);
    printer.setPenWidth(5);

    printer.SelectFontVariant(small, P::Bold);
    printer.printTableCells(small, list.columnTitles, P::AlignCentre);
    printer.SelectFontVariant(small, P::Normal);
    for (const QStringList& row : list.rows)
        printer.printTableCells(small, row, P::AlignCentre);
    printer.EndPage();
    return printer.EndDoc();
}
