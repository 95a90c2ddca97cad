#include "core/text/LogText.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString visible(QString text) {
    return text.replace(u'\r', u"<CR>"_s).replace(u'\n', u"<LF>"_s);
}

// What an editor shows: the text split at every break of either kind.
QStringList expectedLines(const QString& text) {
    static const QRegularExpression lineBreak(u"\r\n|\n|\r"_s);
    return text.split(lineBreak);
}

QStringList linesOf(const LogText& log) {
    QStringList lines;
    for (qsizetype line = 0; line < log.lineCount(); ++line)
        lines.append(log.line(line).toString());
    return lines;
}

qsizetype longestOf(const QStringList& lines) {
    qsizetype longest = 0;
    for (const QString& line : lines)
        longest = std::max(longest, line.size());
    return longest;
}

// The index agrees with the text in every respect the field relies on.
void expectIndexed(const LogText& log) {
    const QStringList lines = expectedLines(log.text());
    ASSERT_EQ(linesOf(log), lines) << visible(log.text()).toStdString();
    EXPECT_EQ(log.longestLineLength(), longestOf(lines));
    qsizetype start = 0;
    for (qsizetype line = 0; line < log.lineCount(); ++line) {
        EXPECT_EQ(log.lineStart(line), start);
        EXPECT_EQ(log.lineAt(start), line);
        EXPECT_EQ(log.position({line, lines[line].size()}), log.lineEnd(line));
        start = log.lineEnd(line) + (log.text().mid(log.lineEnd(line), 2) == u"\r\n"_s ? 2 : 1);
    }
}

TEST(LogText, SplitsLinesAtEveryKindOfBreak) {
    const struct {
        const char* name;
        QString text;
        QStringList lines;
    } rows[] = {
        {"empty text is one empty line", {}, {u""_s}},
        {"text without break is one line", u"a.mp3"_s, {u"a.mp3"_s}},
        {"CR LF is one break", u"a\r\nb"_s, {u"a"_s, u"b"_s}},
        {"LF alone is a break", u"a\nb"_s, {u"a"_s, u"b"_s}},
        {"lone CR is a break", u"a\rb"_s, {u"a"_s, u"b"_s}},
        {"trailing break leaves an empty last line", u"a\r\n"_s, {u"a"_s, u""_s}},
        {"LF CR is two breaks", u"a\n\rb"_s, {u"a"_s, u""_s, u"b"_s}},
        {"CR CR LF is two breaks", u"a\r\r\nb"_s, {u"a"_s, u""_s, u"b"_s}},
        {"breaks only", u"\r\n\r\n"_s, {u""_s, u""_s, u""_s}},
        {"mixed kinds", u"x\ry\nz\r\nw"_s, {u"x"_s, u"y"_s, u"z"_s, u"w"_s}},
        {"tabs and non-ASCII stay in the line",
         u"Ä\tö\U0001F3B5\r\n"_s,
         {u"Ä\tö\U0001F3B5"_s, u""_s}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LogText log;
        log.setText(row.text);
        EXPECT_EQ(log.text(), row.text);
        EXPECT_EQ(linesOf(log), row.lines);
        expectIndexed(log);
    }
}

TEST(LogText, AppendingInPiecesIndexesAsTheWholeText) {
    const struct {
        const char* name;
        QStringList pieces;
    } rows[] = {
        {"whole lines with CR LF", {u"a.mp3\r\n"_s, u"b.mp3\r\n"_s}},
        {"CR LF split over two appends", {u"a\r"_s, u"\nb"_s}},
        {"CR LF split, then another CR", {u"a\r"_s, u"\n"_s, u"\r"_s, u"b"_s}},
        {"lone CR at the end stays a break", {u"a\r"_s, u"b"_s}},
        {"CR then CR LF", {u"a\r"_s, u"\r\n"_s}},
        {"a line grows over appends", {u"ab"_s, u"cd"_s, u"ef\r\n"_s, u"g"_s}},
        {"empty appends change nothing", {u""_s, u"a\r"_s, u""_s, u"\n"_s}},
        {"append to an empty text", {u"\n"_s}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LogText log;
        for (const QString& piece : row.pieces) {
            log.append(piece);
            expectIndexed(log);
        }
        EXPECT_EQ(log.text(), row.pieces.join(QString()));
    }
}

TEST(LogText, EditsJoinAndSplitLinesAndKeepTheIndexBehindThem) {
    const struct {
        const char* name;
        QString text;
        qsizetype from;
        qsizetype to;
        QString inserted;
        QStringList lines;
    } rows[] = {
        {"typing inside a line", u"ab\r\ncd"_s, 1, 1, u"x"_s, {u"axb"_s, u"cd"_s}},
        {"deleting a CR LF joins two lines", u"ab\r\ncd\r\nef"_s, 2, 4, {}, {u"abcd"_s, u"ef"_s}},
        {"deleting only the LF leaves a lone CR", u"ab\r\ncd"_s, 3, 4, {}, {u"ab"_s, u"cd"_s}},
        {"deleting only the CR leaves an LF", u"ab\r\ncd"_s, 2, 3, {}, {u"ab"_s, u"cd"_s}},
        {"inserting CR LF splits a line",
         u"abcd\r\nef"_s,
         2,
         2,
         u"\r\n"_s,
         {u"ab"_s, u"cd"_s, u"ef"_s}},
        {"LF typed behind a lone CR joins it to one break",
         u"a\rb"_s,
         2,
         2,
         u"\n"_s,
         {u"a"_s, u"b"_s}},
        {"CR typed before an LF joins it to one break", u"a\nb"_s, 1, 1, u"\r"_s, {u"a"_s, u"b"_s}},
        {"text typed between CR and LF splits them",
         u"a\r\nb"_s,
         2,
         2,
         u"x"_s,
         {u"a"_s, u"x"_s, u"b"_s}},
        {"replacing across lines", u"a\r\nb\r\nc\r\nd"_s, 1, 8, u"-"_s, {u"a-"_s, u"d"_s}},
        {"clearing everything", u"a\r\nb"_s, 0, 4, {}, {u""_s}},
        {"edit at the very end", u"a\r\n"_s, 3, 3, u"b\r\n"_s, {u"a"_s, u"b"_s, u""_s}},
        {"shortening the longest line", u"abcdef\r\nxy"_s, 1, 6, {}, {u"a"_s, u"xy"_s}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LogText log;
        log.setText(row.text);
        log.replace(row.from, row.to, row.inserted);
        EXPECT_EQ(linesOf(log), row.lines);
        expectIndexed(log);
    }
}

// Every text of up to six units from "a", CR and LF, appended at every split
// and edited at every range: the index must equal the text's own lines.
TEST(LogText, EveryShortTextIndexesRightAfterAppendsAndEdits) {
    const QString units = u"a\r\n"_s;
    std::vector<QString> texts{QString()};
    for (size_t index = 0; index < texts.size(); ++index)
        if (texts[index].size() < 6)
            for (const QChar unit : units)
                texts.push_back(texts[index] + unit);
    const QStringList inserts{{}, u"\r"_s, u"\n"_s, u"\r\n"_s, u"b\r"_s};
    for (const QString& text : texts) {
        for (qsizetype split = 0; split <= text.size(); ++split) {
            LogText log;
            log.append(text.first(split));
            log.append(text.sliced(split));
            ASSERT_EQ(linesOf(log), expectedLines(text)) << visible(text).toStdString();
        }
        if (text.size() > 4)
            continue;
        for (qsizetype from = 0; from <= text.size(); ++from)
            for (qsizetype to = from; to <= text.size(); ++to)
                for (const QString& inserted : inserts) {
                    LogText log;
                    log.setText(text);
                    log.replace(from, to, inserted);
                    QString edited = text;
                    edited.replace(from, to - from, inserted);
                    ASSERT_EQ(log.text(), edited);
                    ASSERT_EQ(linesOf(log), expectedLines(edited))
                        << visible(text).toStdString() << " " << from << ".." << to << " "
                        << visible(inserted).toStdString();
                    ASSERT_EQ(log.longestLineLength(), longestOf(expectedLines(edited)));
                }
    }
}

TEST(LogText, ConvertsPositionsToLinesAndColumnsAndBack) {
    LogText log;
    log.setText(u"ab\r\ncd\ne\r"_s);
    const struct {
        const char* name;
        qsizetype position;
        LinePosition place;
    } rows[] = {
        {"start of the text", 0, {0, 0}},
        {"end of a line before CR LF", 2, {0, 2}},
        {"between CR and LF belongs to the line the break ends", 3, {0, 2}},
        {"start of the line behind CR LF", 4, {1, 0}},
        {"end of a line before LF", 6, {1, 2}},
        {"end of a line before a lone CR", 8, {2, 1}},
        {"the empty line behind the last break", 9, {3, 0}},
        {"beyond the text is its end", 20, {3, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(log.linePosition(row.position), row.place);
        if (row.position != 3 && row.position <= log.size()) {
            EXPECT_EQ(log.position(row.place), row.position);
        }
    }
    EXPECT_EQ(log.position({1, 99}), 6) << "a column beyond the line is its end";
    EXPECT_EQ(log.position({99, 0}), 9) << "a line beyond the text is the last";
}

TEST(LogText, IndexHoldsAtMostEightBytesALine) {
    LogText log;
    for (int line = 0; line < 100000; ++line)
        log.append(u"Titel %1.mp3\r\n"_s.arg(line));
    EXPECT_EQ(log.lineCount(), 100001);
    EXPECT_LE(log.indexBytes(), 8 * log.lineCount());
    EXPECT_EQ(log.line(99999), u"Titel 99999.mp3"_s);
    EXPECT_EQ(log.lineAt(log.lineStart(54321) + 3), 54321);
}

} // namespace
