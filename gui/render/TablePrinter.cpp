#include "gui/render/TablePrinter.h"

#include "base/util/FileUtil.h"
#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

namespace {

// PDF pages are laid out for a printer of this resolution, so that widths
// given in printer pixels look the same on paper and on screen.
constexpr int kPdfResolution = 600;

// A wrapped piece ends after its last space when that space is this close
// to the piece's end.
constexpr int kWrapReach = 20;

const QString& DocumentName()
{
    static const QString name = QStringLiteral("Lumo智能分班系统");
    return name;
}

QString InstalledFace(const QString& face)
{
    if (!face.isEmpty() && QFontDatabase::hasFamily(face))
        return face;
    // Chinese must never come out as boxes.
    return CUICore::instance()->GetDefaultFontName();
}

QFont MakeFont(const QString& face, int points, bool bold)
{
    QFont font(face);
    font.setPointSizeF(std::max(points, 1));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setKerning(false);
    return font;
}

int Ceil(qreal value)
{
    return static_cast<int>(std::ceil(value - 1e-6));
}

} // namespace

CTablePrinter::CTablePrinter() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

CTablePrinter::~CTablePrinter()
{
    if (m_painter.isActive()) {
        // A job left unfinished never leaves a half-written file behind.
        if (!m_pdfPath.isEmpty())
            m_printer->abort();
        m_painter.end();
    }
    discardPdf();
}

int CTablePrinter::StartPrint(QWidget* parent, const QString& printerName, int copies)
{
    m_errorCode = 0;
    if (printerName.isEmpty()) {
        if (!CMessageBox::choosePrinter(parent, *m_printer))
            return -1;
        m_copies = m_printer->copyCount();
        if (m_printer->outputFormat() == QPrinter::PdfFormat) {
            // "Print to file" goes through the same safe write as StartPdf.
            const QString path = m_printer->outputFileName();
            return StartPdf(path);
        }
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
        if (info.isNull()) {
            m_errorCode = kErrorOpenPrinter;
            return -1;
        }
        m_printer->setOutputFormat(QPrinter::NativeFormat);
        m_printer->setPrinterName(printerName);
        if (!m_printer->isValid()) {
            m_errorCode = kErrorOpenPrinter;
            return -1;
        }
        m_copies = std::max(copies, 1);
        m_printer->setCopyCount(m_copies);
    }
    for (FontSet& set : m_fontSets)
        makeMetrics(set);
    return 0;
}

int CTablePrinter::StartPdf(const QString& path)
{
    m_errorCode = 0;
    const QFileInfo target(path);
    if (path.isEmpty() || target.isDir() || !target.absoluteDir().exists()) {
        m_errorCode = kErrorOpenPrinter;
        return -1;
    }
    m_pdfPath = target.absoluteFilePath();
    m_pdfTemp = target.absoluteDir().filePath(QStringLiteral(".%1.printing").arg(target.fileName()));
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(m_pdfTemp);
    m_printer->setResolution(kPdfResolution);
    m_printer->setFullPage(false);
    m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    for (FontSet& set : m_fontSets)
        makeMetrics(set);
    return 0;
}

void CTablePrinter::SetOrientation(Orientation orientation)
{
    if (orientation == Orientation::Portrait)
        m_printer->setPageOrientation(QPageLayout::Portrait);
    else if (orientation == Orientation::Landscape)
        m_printer->setPageOrientation(QPageLayout::Landscape);
}

bool CTablePrinter::StartDoc()
{
    if (m_painter.isActive())
        return true;
    m_printer->setDocName(DocumentName());
    m_printer->setCreator(DocumentName());
    if (!m_painter.begin(m_printer.get()))
        return false;
    m_pageWidth = m_printer->width();
    m_pageHeight = m_printer->height();
    m_devicePageUsed = false;
    m_pageOpen = false;
    m_painterFont = -1;
    select(m_currentFontSet);
    return true;
}

bool CTablePrinter::EndDoc()
{
    if (!m_painter.isActive()) {
        discardPdf();
        return false;
    }
    m_pageOpen = false;
    const bool ended = m_painter.end() && m_printer->printerState() != QPrinter::Error;
    if (m_pdfPath.isEmpty())
        return ended;

    std::error_code error;
    if (ended)
        std::filesystem::rename(CFileUtil::ToPath(m_pdfTemp.toStdString()), CFileUtil::ToPath(m_pdfPath.toStdString()),
                                error);
    if (!ended || error) {
        discardPdf();
        return false;
    }
    m_pdfTemp.clear();
    return true;
}

void CTablePrinter::discardPdf()
{
    if (!m_pdfTemp.isEmpty())
        QFile::remove(m_pdfTemp);
    m_pdfTemp.clear();
}

int CTablePrinter::AddFont(const QString& face, int size, int smallSize)
{
    if (static_cast<int>(m_fontSets.size()) >= kMaxFontSets)
        return -1;
    const QString installed = InstalledFace(face);
    FontSet set;
    set.fonts = {MakeFont(installed, size, false), MakeFont(installed, size, true),
                 MakeFont(installed, smallSize, false), MakeFont(installed, smallSize, true)};
    makeMetrics(set);
    m_fontSets.push_back(std::move(set));
    const int index = static_cast<int>(m_fontSets.size()) - 1;
    select(index);
    return index;
}

void CTablePrinter::makeMetrics(FontSet& set) const
{
    set.metrics.clear();
    for (const QFont& font : set.fonts)
        set.metrics.emplace_back(font, m_printer.get());
    for (auto& widths : set.widths)
        widths.clear();
}

int CTablePrinter::measure(const FontSet& set, int variant, const QString& text)
{
    auto& widths = set.widths[static_cast<std::size_t>(variant)];
    const auto known = widths.constFind(text);
    if (known != widths.constEnd())
        return *known;
    const int width = Ceil(set.metrics[static_cast<std::size_t>(variant)].horizontalAdvance(text));
    if (widths.size() >= 100000)
        widths.clear();
    widths.insert(text, width);
    return width;
}

const CTablePrinter::FontSet* CTablePrinter::fontSetAt(int fontSet) const
{
    if (fontSet < 0 || fontSet >= static_cast<int>(m_fontSets.size()))
        return nullptr;
    return &m_fontSets[static_cast<std::size_t>(fontSet)];
}

void CTablePrinter::select(int fontSet)
{
    const FontSet* set = fontSetAt(fontSet);
    if (!set)
        return;
    m_currentFontSet = fontSet;
    const int key = fontSet * 4 + set->variant;
    if (m_painter.isActive() && key != m_painterFont) {
        m_painter.setFont(set->fonts[static_cast<std::size_t>(set->variant)]);
        m_painterFont = key;
    }
}

void CTablePrinter::SelectFont(int fontSet)
{
    select(fontSet);
}

void CTablePrinter::SelectFontVariant(int fontSet, int variant)
{
    if (!fontSetAt(fontSet) || variant < Normal || variant > SmallBold)
        return;
    m_fontSets[static_cast<std::size_t>(fontSet)].variant = variant;
    select(fontSet);
}

const QFontMetricsF* CTablePrinter::currentMetrics() const
{
    const FontSet* set = fontSetAt(m_currentFontSet);
    return set ? &set->metrics[static_cast<std::size_t>(set->variant)] : nullptr;
}

int CTablePrinter::textWidth(int fontSet, int variant, const QString& text) const
{
    const FontSet* set = fontSetAt(fontSet);
    if (!set || variant < Normal || variant > SmallBold)
        return 0;
    return measure(*set, variant, text);
}

int CTablePrinter::textHeight(int fontSet) const
{
    const FontSet* set = fontSetAt(fontSet);
    return set ? Ceil(set->metrics[static_cast<std::size_t>(set->variant)].height()) : 0;
}

int CTablePrinter::currentTextHeight() const
{
    const QFontMetricsF* metrics = currentMetrics();
    return metrics ? Ceil(metrics->height()) : 0;
}

void CTablePrinter::SetMargins(int topPoints, int bottom, int left, int right)
{
    if (topPoints != -1)
        m_topMargin = topPoints;
    if (bottom != -1)
        m_bottomMargin = bottom;
    if (left != -1)
        m_leftMargin = left;
    if (right != -1)
        m_rightMargin = right;
    m_y = topMarginPixels();
}

void CTablePrinter::SetLineSpacing(int points)
{
    m_lineSpacing = points;
}

int CTablePrinter::getResolution() const
{
    return m_printer->resolution();
}

int CTablePrinter::pointsToPixels(double points) const
{
    return static_cast<int>(std::lround(points * m_printer->logicalDpiY() / 72.0));
}

int CTablePrinter::millimetresToPixels(double millimetres) const
{
    return static_cast<int>(std::lround(millimetres * m_printer->logicalDpiX() / 25.4));
}

int CTablePrinter::printableWidth(Orientation orientation) const
{
    QPageLayout layout = m_printer->pageLayout();
    layout.setOrientation(orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout.paintRectPixels(m_printer->resolution()).width();
}

int CTablePrinter::lineSpacingPixels() const
{
    return pointsToPixels(m_lineSpacing);
}

int CTablePrinter::topMarginPixels() const
{
    return pointsToPixels(m_topMargin);
}

bool CTablePrinter::canDraw() const
{
    return !m_layoutOnly && m_pageOpen && m_painter.isActive();
}

bool CTablePrinter::newDevicePage()
{
    if (m_layoutOnly)
        return true;
    if (!m_painter.isActive())
        return false;
    if (m_devicePageUsed && !m_printer->newPage())
        return false;
    m_devicePageUsed = true;
    return true;
}

int CTablePrinter::StartPage()
{
    m_y = topMarginPixels();
    m_freshPage = true;
    if (!newDevicePage()) {
        m_pageOpen = false;
        m_errorCode = kErrorStartPage;
        return -1;
    }
    m_pageOpen = true;
    return 0;
}

void CTablePrinter::EndPage()
{
    if (!m_freshPage)
        callHook(m_pageNumber, PagePart::Footer);
    m_pageOpen = false;
}

void CTablePrinter::setPageHook(PageHook hook)
{
    m_hook = std::move(hook);
}

void CTablePrinter::enableHook(bool on)
{
    m_hookEnabled = on;
}

void CTablePrinter::setLayoutOnly(bool on)
{
    m_layoutOnly = on;
}

void CTablePrinter::restartPageNumbers()
{
    m_pageNumber = 0;
}

void CTablePrinter::callHook(int page, PagePart part)
{
    if (!m_hookEnabled || !m_hook || m_inPageBreak)
        return;
    // Whatever the hook prints stays on this page, and the table and the
    // fonts it changes are given back afterwards.
    const TableSettings table = m_table;
    const int fontSet = m_currentFontSet;
    std::vector<int> variants;
    for (const FontSet& set : m_fontSets)
        variants.push_back(set.variant);
    m_inPageBreak = true;
    m_hook(*this, page, part);
    m_inPageBreak = false;
    m_table = table;
    for (std::size_t i = 0; i < variants.size(); ++i)
        m_fontSets[i].variant = variants[i];
    select(fontSet);
}

void CTablePrinter::beginLine()
{
    if (m_inPageBreak || !m_freshPage)
        return;
    m_freshPage = false;
    ++m_pageNumber;
    if (m_hookEnabled && m_hook) {
        m_y = topMarginPixels();
        callHook(m_pageNumber, PagePart::Header);
    }
}

void CTablePrinter::breakPageIfFull(int textHeight)
{
    if (m_inPageBreak || m_pageHeight - m_bottomMargin >= lineSpacingPixels() + textHeight + m_y)
        return;
    const int finished = m_pageNumber++;
    callHook(finished, PagePart::Footer);
    if (newDevicePage()) {
        m_pageOpen = true;
    } else {
        m_pageOpen = false;
        m_errorCode = kErrorStartPage;
    }
    m_freshPage = false;
    m_y = topMarginPixels();
    callHook(m_pageNumber, PagePart::Header);
}

int CTablePrinter::fitLength(const QString& text, int width) const
{
    // The longest start of text that is no wider than width, at least one
    // character, never ending inside a surrogate pair.
    const QFontMetricsF* metrics = currentMetrics();
    int low = 1;
    int high = static_cast<int>(text.size());
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (metrics->horizontalAdvance(text.left(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    if (low < text.size() && text.at(low - 1).isHighSurrogate())
        low += low == 1 ? 1 : -1;
    return low;
}

void CTablePrinter::PrintText(int fontSet, const QString& text, unsigned flags, int xOffset)
{
    beginLine();
    select(fontSet);
    if (!currentMetrics())
        return;
    const int printable = m_pageWidth - m_rightMargin - m_leftMargin;
    QString rest = text;
    do {
        QString piece = rest;
        if (currentMetrics()->horizontalAdvance(rest) > printable) {
            piece = rest.left(fitLength(rest, printable));
            const qsizetype space = piece.lastIndexOf(QLatin1Char(' '));
            if (piece.size() < rest.size() && space >= 0 && piece.size() - space <= kWrapReach)
                piece.truncate(space + 1);
        }
        printLine(piece, flags, xOffset);
        rest.remove(0, piece.size());
    } while (!rest.isEmpty());
}

void CTablePrinter::printLine(const QString& line, unsigned flags, int xOffset)
{
    const QFontMetricsF& metrics = *currentMetrics();
    const int textHeight = Ceil(metrics.height());
    const int printable = m_pageWidth - m_rightMargin - m_leftMargin;
    int x = m_leftMargin;
    if (flags & (AlignCentre | AlignRight)) {
        const int width = Ceil(metrics.horizontalAdvance(line));
        x += (flags & AlignCentre) ? (printable - width) / 2 : printable - width;
    }
    x += xOffset;
    breakPageIfFull(textHeight);
    if (canDraw() && !line.isEmpty())
        m_painter.drawText(QPointF(x, m_y + metrics.ascent()), line);
    if (!(flags & KeepLine))
        m_y += textHeight + lineSpacingPixels();
}

void CTablePrinter::PrintBlankLines(int fontSet, int count)
{
    for (int i = 0; i < count; ++i)
        PrintText(fontSet, QString());
}

void CTablePrinter::SetColumns(const std::vector<int>& widths)
{
    m_table.widths = widths;
}

void CTablePrinter::setCellGap(int pixels)
{
    m_table.cellGap = pixels;
}

void CTablePrinter::setHorizontalRules(bool on)
{
    m_table.horizontalRules = on;
}

void CTablePrinter::setVerticalRules(bool on)
{
    m_table.verticalRules = on;
}

void CTablePrinter::setPenWidth(int pixels)
{
    m_table.penWidth = std::max(pixels, 0);
}

void CTablePrinter::setTableAlignment(TableAlignment alignment)
{
    m_table.alignment = alignment;
}

void CTablePrinter::setRuledTable(const std::vector<int>& widths, int gap, int ruleWidth)
{
    SetColumns(widths);
    setCellGap(gap);
    setHorizontalRules(true);
    setVerticalRules(true);
    setPenWidth(std::max(1, ruleWidth));
    setTableAlignment(TableAlignment::Centre);
}

void CTablePrinter::fitColumns(std::vector<int>& widths, int gap, int room)
{
    int table = 0;
    for (int width : widths)
        table += width + gap;
    if (table <= room)
        return;
    const int gaps = gap * static_cast<int>(widths.size());
    const double scale = static_cast<double>(room - gaps) / std::max(1, table - gaps);
    for (int& width : widths)
        width = std::max(1, static_cast<int>(width * scale));
}

void CTablePrinter::PrintTableRow(int fontSet, const QString& rowText, unsigned flags)
{
    printTableCells(fontSet, rowText.split(QLatin1Char('|')), flags);
}

void CTablePrinter::printTableCells(int fontSet, const QStringList& cells, unsigned flags)
{
    beginLine();
    select(fontSet);
    if (!currentMetrics())
        return;
    const FontSet& font = *fontSetAt(m_currentFontSet);
    const QFontMetricsF& metrics = *currentMetrics();
    const int textHeight = Ceil(metrics.height());
    const int spacing = lineSpacingPixels();
    const int lineHeight = textHeight + spacing;

    // Copied: a page break in this row must not disturb the row's own columns.
    const TableSettings table = m_table;
    const int columns = static_cast<int>(table.widths.size());
    const int gap = table.cellGap;
    int total = 0;
    for (int width : table.widths)
        total += width;
    const int printable = m_pageWidth - m_rightMargin - m_leftMargin;
    int startX = m_leftMargin;
    if (table.alignment == TableAlignment::Centre)
        startX += (printable - total - (columns * gap - gap / 4)) / 2;
    else if (table.alignment == TableAlignment::Right)
        startX += printable - total - columns * gap + gap / 4;

    if (canDraw())
        m_painter.setPen(QPen(Qt::black, table.penWidth, Qt::SolidLine, Qt::FlatCap));

    // Every column is laid out, so that a short row still gets all its rules;
    // cells beyond the last column are dropped.
    int left = startX;
    for (int i = 0; i < columns; ++i) {
        const int width = table.widths[static_cast<std::size_t>(i)];
        const QString piece = i < cells.size() ? cells.at(i) : QString();
        const bool draw = canDraw() && !piece.isEmpty();
        const int textWidth = draw ? measure(font, font.variant, piece) : 0;
        int textX = left;
        if ((flags & AlignCentre) && textWidth < width)
            textX += (width - textWidth) / 2;
        else if ((flags & AlignRight) && textWidth < width)
            textX += width - textWidth;
        const int shift =
            i == 0 ? ((table.alignment != TableAlignment::Left || table.verticalRules) ? gap / 4 : 0) : gap;
        left += shift;
        textX += shift;

        breakPageIfFull(textHeight);

        if (draw) {
            // Clipped to the cell only where the text runs over it.
            const QRect cell(left - gap / 2, m_y, width + gap, lineHeight);
            const bool clip = textX < cell.left() || textX + textWidth > cell.left() + cell.width();
            if (clip)
                m_painter.setClipRect(cell);
            m_painter.drawText(QPointF(textX, m_y + metrics.ascent()), piece);
            if (clip)
                m_painter.setClipping(false);
        }
        if (table.verticalRules && canDraw()) {
            // A cell's left rule is its left neighbour's right rule.
            if (i == 0)
                m_painter.drawLine(left - gap / 4, m_y - spacing, left - gap / 4, m_y + lineHeight);
            const int ruleRight = left + width + gap / 2;
            m_painter.drawLine(ruleRight, m_y - spacing, ruleRight, m_y + lineHeight);
        }
        left += width;
    }
    if (columns == 0)
        breakPageIfFull(textHeight);

    if (table.horizontalRules) {
        if (canDraw()) {
            const int endX = startX + columns * gap + total - gap / 4;
            m_painter.drawLine(startX, m_y - spacing, endX, m_y - spacing);
            m_painter.drawLine(startX, m_y + spacing + textHeight, endX, m_y + spacing + textHeight);
        }
        m_y += 2 * spacing + textHeight;
    } else if (!(flags & KeepLine)) {
        m_y += lineHeight;
    }
}
