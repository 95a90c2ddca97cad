#pragma once

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

// A place in a LogText as a line and a column (UTF-16 units from the line's
// start).
struct LinePosition {
    qsizetype line = 0;
    qsizetype column = 0;

    friend bool operator==(const LinePosition&, const LinePosition&) = default;
};

// The text of a log exactly as written (CR LF stays CR LF) and an index of
// where its lines start, so that a log of a hundred thousand lines can be
// appended to, shown and edited without any work per line already there.
// A line ends at "\r\n", "\n" or a lone "\r"; a text that ends with a break
// has an empty last line, as in an editor.
class LogText {
public:
    LogText();

    const QString& text() const { return text_; }
    qsizetype size() const { return text_.size(); }
    bool isEmpty() const { return text_.isEmpty(); }

    void setText(const QString& text);
    // Costs O(text) amortised, nothing per line already there.
    void append(QStringView text);
    // Replaces the units [from, to) by `text`; the index is rebuilt from the
    // line before the edit on.
    void replace(qsizetype from, qsizetype to, QStringView text);

    // At least 1.
    qsizetype lineCount() const { return qsizetype(lowStarts_.size()); }
    qsizetype lineStart(qsizetype line) const;
    // The position of the line's break, or of the text's end for the last line.
    qsizetype lineEnd(qsizetype line) const;
    qsizetype lineLength(qsizetype line) const { return lineEnd(line) - lineStart(line); }
    // Without its break.
    QStringView line(qsizetype line) const;

    // The line that holds `position`; a position inside a CR LF belongs to
    // the line that the break ends.
    qsizetype lineAt(qsizetype position) const;
    LinePosition linePosition(qsizetype position) const;
    // The column is clamped to the line's length.
    qsizetype position(LinePosition place) const;

    // The longest line, in UTF-16 units.
    qsizetype longestLineLength() const;

    // Bytes the index holds, beside the text.
    qsizetype indexBytes() const;

private:
    // Indexes the breaks from `scanFrom` on; lines from `line` on are new.
    void indexFrom(qsizetype line, qsizetype scanFrom);
    void keepLines(qsizetype count);
    void addLineStart(qsizetype position);
    qsizetype highPartBefore(qsizetype line) const;

    QString text_;
    // Line starts modulo 2^32: four bytes a line. The high parts change so
    // rarely (every 4 Gi units) that they are kept apart, as the first line
    // from which each holds.
    std::vector<quint32> lowStarts_;
    std::vector<std::pair<qsizetype, qsizetype>> highParts_; // (first line, high part)
    mutable qsizetype longestLine_ = 0;
    mutable bool longestLineKnown_ = true;
};
