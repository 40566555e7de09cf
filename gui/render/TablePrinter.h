#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;

// Prints lines of text and ruled tables straight to a printer or a PDF file,
// without a preview. Works in the device's pixels and keeps a current
// vertical position that advances line by line; a line that would not fit
// above the bottom margin ends the page and starts the next one. A page hook
// may draw a header and a footer on every page.
//
// One object serves one print job:
//   StartPrint or StartPdf, SetOrientation, StartDoc, AddFont ..., SetMargins,
//   StartPage, PrintText / PrintTableRow ..., EndPage, EndDoc.
class CTablePrinter
{
public:
    // Flags of PrintText and PrintTableRow.
    enum LineFlag : unsigned
    {
        AlignCentre = 1,
        AlignRight = 4,
        KeepLine = 8 // the position stays on the line just printed
    };
    // The four fonts of a font set.
    enum FontVariant
    {
        Normal = 0,
        Bold = 1,
        SmallNormal = 2,
        SmallBold = 3
    };
    enum class Orientation
    {
        Portrait = 1,
        Landscape = 2
    };
    enum class TableAlignment
    {
        Centre = 1,
        Left = 2,
        Right = 4
    };
    enum class PagePart
    {
        Footer = 0,
        Header = 1
    };

    static constexpr int kErrorStartPage = 7;
    static constexpr int kErrorOpenPrinter = 8;
    static constexpr int kMaxFontSets = 10;

    // Called with the page number for its header and for its footer. Lines
    // the hook prints never break the page.
    using PageHook = std::function<void(CTablePrinter& printer, int page, PagePart part)>;

    CTablePrinter();
    ~CTablePrinter();
    CTablePrinter(const CTablePrinter&) = delete;
    CTablePrinter& operator=(const CTablePrinter&) = delete;

    // Without a printer name: the print dialog (cancel gives -1). With one:
    // that printer with the given copies; -1 and error 8 when it cannot be
    // opened. 0 when the job may start.
    int StartPrint(QWidget* parent, const QString& printerName = QString(), int copies = 1);
    // A PDF file instead of a printer, written when EndDoc succeeds. -1 and
    // error 8 when the path is not a file in an existing folder.
    int StartPdf(const QString& path);

    // Before StartDoc.
    void SetOrientation(Orientation orientation);
    // Starts the job and reads the printable size. False when the printer or
    // the file could not be opened.
    bool StartDoc();
    // Ends the job; a PDF is moved to its place now. False when nothing
    // usable was written.
    bool EndDoc();

    // A set of four fonts (normal, bold, small normal, small bold) of the face
    // at the sizes in points; selects its normal font. The index of the set,
    // or -1 when there are kMaxFontSets already. A face that is not installed
    // is replaced by the program's Chinese face.
    int AddFont(const QString& face, int size, int smallSize);
    void SelectFont(int fontSet);
    void SelectFontVariant(int fontSet, int variant);

    // The top margin in points, the others in device pixels; -1 keeps one.
    // The top margin becomes the current position.
    void SetMargins(int topPoints, int bottom, int left, int right);
    // Extra space between lines, in points.
    void SetLineSpacing(int points);

    // 0, or -1 with error 7 when no page could be started.
    int StartPage();
    // Calls the hook for the footer, then ends the page.
    void EndPage();

    // One line, wrapped at the printable width (preferably after a space near
    // the end of the piece), at the left margin, centred or right-aligned,
    // moved right by xOffset.
    void PrintText(int fontSet, const QString& text, unsigned flags = 0, int xOffset = 0);
    void PrintBlankLines(int fontSet, int count);

    // Widths of the table's columns in device pixels.
    void SetColumns(const std::vector<int>& widths);
    void setCellGap(int pixels);
    void setHorizontalRules(bool on);
    void setVerticalRules(bool on);
    void setPenWidth(int pixels);
    void setTableAlignment(TableAlignment alignment);
    // A ruled table of these columns in both directions, centred, with
    // rules ruleWidth pixels wide.
    void setRuledTable(const std::vector<int>& widths, int gap, int ruleWidth);
    // Narrows columns (and the gaps after them) that are wider together than
    // room, in proportion; the longest texts are then cut at their cell's edge.
    static void fitColumns(std::vector<int>& widths, int gap, int room);
    // A row whose cells are separated by "|"; the i-th cell goes into column i.
    void PrintTableRow(int fontSet, const QString& rowText, unsigned flags = 0);
    // The same with the cells given one by one, so that a cell may hold "|".
    void printTableCells(int fontSet, const QStringList& cells, unsigned flags = 0);

    void setPageHook(PageHook hook);
    void enableHook(bool on);

    // While on, lines are laid out and pages counted exactly as when
    // printing, but nothing reaches the device. Lets a caller learn how many
    // pages a part of the document takes before printing it.
    void setLayoutOnly(bool on);
    // The next page that gets a line is page 1 again.
    void restartPageNumbers();

    int getErrorCode() const { return m_errorCode; }
    int getCopies() const { return m_copies; }
    int getPageNumber() const { return m_pageNumber; }
    int getPageWidth() const { return m_pageWidth; }
    int getPageHeight() const { return m_pageHeight; }
    int getY() const { return m_y; }
    void setY(int y) { m_y = y; }
    // Dots per inch of the device; converts millimetres and points to pixels.
    int getResolution() const;
    int pointsToPixels(double points) const;
    int millimetresToPixels(double millimetres) const;
    // The printable width an orientation would give, before StartDoc.
    int printableWidth(Orientation orientation) const;
    // Width and height of a text in a font of a set, in device pixels.
    int textWidth(int fontSet, int variant, const QString& text) const;
    int textHeight(int fontSet) const;

private:
    struct FontSet
    {
        std::array<QFont, 4> fonts;
        std::vector<QFontMetricsF> metrics; // one per font, for the device
        // Widths of texts measured before: names, schools and scores recur
        // in every roster.
        mutable std::array<QHash<QString, int>, 4> widths;
        int variant = Normal;
    };
    struct TableSettings
    {
        std::vector<int> widths;
        int cellGap = 50;
        bool horizontalRules = false;
        bool verticalRules = false;
        int penWidth = 0;
        TableAlignment alignment = TableAlignment::Left;
    };

    void makeMetrics(FontSet& set) const;
    static int measure(const FontSet& set, int variant, const QString& text);
    void select(int fontSet);
    const FontSet* fontSetAt(int fontSet) const;
    const QFontMetricsF* currentMetrics() const;
    bool canDraw() const;
    int lineSpacingPixels() const;
    int topMarginPixels() const;
    int currentTextHeight() const;
    int fitLength(const QString& text, int width) const;
    void printLine(const QString& line, unsigned flags, int xOffset);
    // The first line on a page numbers it and calls the hook for its header.
    void beginLine();
    void breakPageIfFull(int textHeight);
    void callHook(int page, PagePart part);
    bool newDevicePage();
    void discardPdf();

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QString m_pdfPath; // where the PDF goes; empty for a printer
    QString m_pdfTemp; // written there first

    std::vector<FontSet> m_fontSets;
    int m_currentFontSet = -1;
    int m_painterFont = -1; // set × 4 + variant of the painter's font

    int m_copies = 1;
    int m_errorCode = 0;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
    int m_topMargin = 0; // points
    int m_bottomMargin = 0;
    int m_leftMargin = 0;
    int m_rightMargin = 0;
    int m_lineSpacing = 0; // points
    int m_y = 0;
    int m_pageNumber = 0;
    bool m_freshPage = true;       // started, nothing printed on it yet
    bool m_pageOpen = false;       // a page is there to draw on
    bool m_devicePageUsed = false; // the device's current page was started
    bool m_layoutOnly = false;

    bool m_hookEnabled = false;
    PageHook m_hook;
    bool m_inPageBreak = false;

    TableSettings m_table;
};
