#pragma once

// Reads printed PDF files back with the poppler tools: page count, text,
// and where each word stands on its page.
#include "gui/common/MessageBox.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace PdfTest {

inline QString Quoted(const QString& path)
{
    QString quoted = path;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// What a shell command writes to standard output.
inline QString Run(const QString& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.toUtf8().constData(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return QString::fromUtf8(out);
}

#ifdef QUILLON_CLI_PATH
// Runs the built quillon-cli with arguments (quoted as the shell needs
// them); its exit code. Its output is dropped.
inline int RunCli(const QString& arguments)
{
    const QString command =
        Quoted(QStringLiteral(QUILLON_CLI_PATH)) + QLatin1Char(' ') + arguments + QStringLiteral(" >/dev/null 2>&1");
    const int status = std::system(command.toUtf8().constData());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

inline int PageCount(const QString& pdf)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const auto match = pages.match(Run(QStringLiteral("pdfinfo %1 2>/dev/null").arg(Quoted(pdf))));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text of one page (1, 2, …), or of all pages for 0, in reading order
// with the layout kept.
inline QString Text(const QString& pdf, int page = 0)
{
    const QString range = page > 0 ? QStringLiteral("-f %1 -l %1 ").arg(page) : QString();
    return Run(QStringLiteral("pdftotext -layout %1%2 - 2>/dev/null").arg(range, Quoted(pdf)));
}

struct Word
{
    QString text;
    double left = 0;
    double top = 0;
};

inline std::vector<Word> Words(const QString& pdf, int page)
{
    const QString html = Run(QStringLiteral("pdftotext -bbox -f %1 -l %1 %2 - 2>/dev/null").arg(page).arg(Quoted(pdf)));
    const QRegularExpression word(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    std::vector<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        QString text = match.captured(3);
        text.replace(QLatin1String("&amp;"), QLatin1String("&"))
            .replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""));
        words.push_back({text, match.captured(1).toDouble(), match.captured(2).toDouble()});
    }
    return words;
}

// The first word with this text on the page; a word with an empty text
// when there is none.
inline Word Find(const std::vector<Word>& words, const QString& text)
{
    for (const Word& word : words)
        if (word.text == text)
            return word;
    return {};
}

// The page's lines of text, without empty ones and without the spaces
// around them.
inline QStringList Lines(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

// Tests that print into a PDF file of a fresh folder, the message layer's
// queues empty.
class PdfFileTest : public ::testing::Test
{
protected:
    explicit PdfFileTest(const char* fileName) : pdf(QString::fromStdString(folder.File(fileName))) {}

    void SetUp() override { CMessageBox::clearTestState(); }

    testsupport::TempFolder folder;
    const QString pdf;
};

} // namespace PdfTest
