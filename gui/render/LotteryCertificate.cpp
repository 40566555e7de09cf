#include "gui/render/LotteryCertificate.h"

#include "gui/common/MessageBox.h"
#include "logic/lottery/LotteryRecord.h"

#include <QFont>
#include <QFontDatabase>
#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPainter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

namespace {

// A face that has the Chinese characters, where the system has one.
QString chineseFace()
{
    for (const char* face : {"微软雅黑", "Microsoft YaHei", "WenQuanYi Micro Hei", "Noto Sans CJK SC", "SimSun"}) {
        if (QFontDatabase::hasFamily(QString::fromUtf8(face)))
            return QString::fromUtf8(face);
    }
    return QString();
}

QString text(const std::string& value)
{
    return QString::fromStdString(value).toHtmlEscaped();
}

QString row(const QString& label, const QString& value)
{
    return QStringLiteral("<tr><td class='label'>%1</td><td>%2</td></tr>").arg(label, value);
}

// A digest in groups of eight, so that it can be read out and compared.
QString digest(const std::string& hex)
{
    QString grouped;
    for (std::size_t i = 0; i < hex.size(); i += 8) {
        if (i > 0)
            grouped += QLatin1Char(' ');
        grouped += QString::fromStdString(hex.substr(i, 8));
    }
    return QStringLiteral("<span class='digest'>%1</span>").arg(grouped.toHtmlEscaped());
}

} // namespace

QString CLotteryCertificate::html(const CLotteryRecord& record, const QString& school, bool signaturesOnNewPage)
{
    QString out;
    out += QStringLiteral(
        "<html><head><style>"
        "h1 { font-size: 20pt; text-align: center; margin-bottom: 2pt; }"
        "p.sub { font-size: 12pt; text-align: center; margin-top: 0; }"
        "h2 { font-size: 12pt; margin-top: 12pt; margin-bottom: 4pt; }"
        "table { border-collapse: collapse; }"
        "td, th { font-size: 10pt; }"
        "td.label { font-weight: bold; white-space: nowrap; }"
        "table.grid td, table.grid th { border: 1px solid #000; }"
        "th { font-weight: bold; }"
        "td.num { text-align: right; }"
        ".digest { font-family: monospace; }"
        "p.sign { font-size: 11pt; margin-top: 22pt; }"
        "</style></head><body>");
    out += QStringLiteral("<h1>分班公证记录</h1>");
    QString subtitle = school.toHtmlEscaped();
    if (!subtitle.isEmpty())
        subtitle += QStringLiteral("　");
    subtitle += text(record.taskName);
    out += QStringLiteral("<p class='sub'>%1</p>").arg(subtitle);

    out += QStringLiteral("<table width='100%' cellpadding='2'>");
    if (!school.isEmpty())
        out += row(QStringLiteral("学校"), school.toHtmlEscaped());
    out += row(QStringLiteral("分班任务"), text(record.taskName));
    out += row(QStringLiteral("摇号时间"), text(record.time));
    out += row(QStringLiteral("程序版本"), text(record.version));
    out += row(QStringLiteral("摇号种子"),
               QStringLiteral("<b>%1</b>%2")
                   .arg(text(record.seed),
                        record.seedDrawn ? QStringLiteral("（由程序随机生成）") : QStringLiteral("（公开抽取）")));
    out += row(QStringLiteral("均衡优化搜索步数"), QString::number(record.work));
    out += row(QStringLiteral("学生人数"), QString::number(record.students));
    out += row(QStringLiteral("班级数"), QString::number(record.classes));
    out += row(QStringLiteral("已分班学生"), QString::number(record.placed));
    out += row(QStringLiteral("输入数据摘要（SHA-256）"), digest(record.inputDigest));
    out += row(QStringLiteral("分班结果摘要（SHA-256）"), digest(record.resultDigest));
    out += QStringLiteral("</table>");

    out += QStringLiteral("<h2>分班规则</h2>");
    if (record.rules.empty()) {
        out += QStringLiteral("<p>无</p>");
    } else {
        out += QStringLiteral("<ul>");
        for (const std::string& rule : record.rules)
            out += QStringLiteral("<li>%1</li>").arg(text(rule));
        out += QStringLiteral("</ul>");
    }

    out += QStringLiteral("<h2>各班情况</h2><table class='grid' width='100%' cellspacing='0' cellpadding='4'>"
                          "<tr><th>班级</th><th>人数</th><th>女生</th><th>男生</th><th>总分平均分</th></tr>");
    for (const CLotteryRecord::ClassFigures& figures : record.figures) {
        out += QStringLiteral("<tr><td>%1</td><td class='num'>%2</td><td class='num'>%3</td><td class='num'>%4</td>"
                              "<td class='num'>%5</td></tr>")
                   .arg(text(figures.name))
                   .arg(figures.students)
                   .arg(figures.girls)
                   .arg(figures.boys)
                   .arg(text(figures.average));
    }
    out += QStringLiteral("</table>");

    if (record.teacherDraw) {
        const CLotteryRecord::TeacherDraw& draw = *record.teacherDraw;
        out += QStringLiteral("<h2>班主任抽签</h2><table width='100%' cellpadding='2'>");
        out += row(QStringLiteral("抽签种子"), QStringLiteral("<b>%1</b>").arg(text(draw.seed)));
        out += row(QStringLiteral("抽签时间"), text(draw.time));
        out += QStringLiteral("</table><table class='grid' width='100%' cellspacing='0' cellpadding='4'><tr><th>班级</th><th>班主任</th></tr>");
        for (const CTeacherDraw::Assignment& assignment : draw.assignments) {
            out += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                       .arg(text(assignment.className), text(assignment.teacher));
        }
        out += QStringLiteral("</table>");
    }

    out += signaturesOnNewPage ? QStringLiteral("<h2 style='page-break-before: always'>签字</h2>")
                               : QStringLiteral("<h2>签字</h2>");
    for (const char* role : {"主持人", "公证人", "监督人"}) {
        out += QStringLiteral("<p class='sign'>%1：______________________　　日期：______________</p>")
                   .arg(QString::fromUtf8(role));
    }
    out += QStringLiteral("</body></html>");
    return out;
}

void CLotteryCertificate::print(const CLotteryRecord& record, const QString& school, QPagedPaintDevice& device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return;
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);
    QFont font = document.defaultFont();
    if (const QString face = chineseFace(); !face.isEmpty())
        font.setFamily(face);
    font.setPointSize(10);
    document.setDefaultFont(font);

    // The page's paint area less two lines for the page number.
    const qreal footer = QFontMetricsF(font, &device).height() * 2;
    const QSizeF page(device.width(), device.height() - footer);
    const auto layOut = [&](bool signaturesOnNewPage) {
        document.setHtml(html(record, school, signaturesOnNewPage));
        QTextFrameFormat frame = document.rootFrame()->frameFormat();
        frame.setMargin(0);
        document.rootFrame()->setFrameFormat(frame);
        document.setPageSize(page);
    };
    const auto pageOf = [&](const QTextBlock& block) {
        return static_cast<int>(document.documentLayout()->blockBoundingRect(block).top() / page.height());
    };
    layOut(false);
    // The signatures stay together: their heading never stands at the foot
    // of one page with the lines to sign on the next.
    for (QTextBlock block = document.lastBlock(); block.isValid(); block = block.previous()) {
        if (block.text() == QStringLiteral("签字")) {
            if (pageOf(block) != pageOf(document.lastBlock()))
                layOut(true);
            break;
        }
    }

    // "第 1 页，共 2 页": a missing page shows.
    const int pages = document.pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0)
            device.newPage();
        painter.save();
        painter.translate(0, -index * page.height());
        document.drawContents(&painter, QRectF(0, index * page.height(), page.width(), page.height()));
        painter.restore();
        painter.setFont(QFont(font, &device));
        painter.drawText(QRectF(0, page.height(), page.width(), footer), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("第 %1 页，共 %2 页").arg(index + 1).arg(pages));
    }
    painter.end();
}

bool CLotteryCertificate::writePdf(const CLotteryRecord& record, const QString& school, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("分班公证记录"));
        writer.setCreator(QStringLiteral("Quillon"));
        print(record, school, writer);
    }
    return file.commit();
}

bool CLotteryCertificate::printWithDialog(QWidget* parent, const CLotteryRecord& record, const QString& school)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("分班公证记录"));
    if (!CMessageBox::choosePrinter(parent, printer))
        return false;
    print(record, school, printer);
    return true;
}
