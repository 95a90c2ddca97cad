#include "ui/widgets/LogField.h"

#include "ui/widgets/LogFieldAccessible.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <climits>

using namespace Qt::StringLiterals;

namespace {

// As QPlainTextEdit lays out its document.
constexpr int documentMargin = 4;
constexpr int caretWidth = 1;
constexpr int horizontalStep = 20;

// Line breaks of any kind as `lineBreak`.
QString withLineBreaks(QStringView text, QStringView lineBreak) {
    QString result;
    result.reserve(text.size());
    for (qsizetype index = 0; index < text.size(); ++index) {
        const QChar unit = text[index];
        if (unit == u'\r' || unit == u'\n') {
            if (unit == u'\r' && index + 1 < text.size() && text[index + 1] == u'\n')
                ++index;
            result.append(lineBreak);
        } else {
            result.append(unit);
        }
    }
    return result;
}

bool isTypedText(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar unit : text)
        if (!unit.isPrint() && unit != u'\t' && !unit.isSurrogate())
            return false;
    return true;
}

} // namespace

LogField::LogField(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(accessibleLogField);
        return true;
    }();
    Q_UNUSED(accessibleInstalled)

    textOption_.setWrapMode(QTextOption::NoWrap);
    // Names from right-to-left scripts stay at the left edge like all others.
    textOption_.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(horizontalStep);
    updateMetrics();
}

void LogField::setText(const QString& text) {
    const QString before = log_.text();
    log_.setText(text);
    caret_ = anchor_ = 0;
    goalX_ = -1;
    measuredWidth_ = 0;
    shownLines_ = log_.lineCount();
    shownSize_ = log_.size();
    updateScrollRanges();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, before, text);
        QAccessible::updateAccessibility(&event);
    }
}

void LogField::appendText(QStringView text) {
    log_.append(text);
    if (appendPending_ || text.isEmpty())
        return;
    appendPending_ = true;
    QMetaObject::invokeMethod(this, &LogField::takeAppended, Qt::QueuedConnection);
}

bool LogField::showAppended() {
    if (!appendPending_)
        return false;
    takeAppended();
    return true;
}

void LogField::takeAppended() {
    // Taken already, when showAppended came first.
    if (!appendPending_)
        return;
    appendPending_ = false;
    // The last line shown may have grown; the lines behind it are new.
    const qsizetype firstChanged = shownLines_ - 1;
    const qsizetype shownSize = shownSize_;
    shownLines_ = log_.lineCount();
    shownSize_ = log_.size();
    updateScrollRanges();
    // Painted at once: a run that appends lets the event loop make only one
    // pass now and then, and an update would wait for the next.
    if (shownSize == 0 || firstChanged <= firstVisibleLine() + fullyVisibleLines())
        viewport()->repaint();
    if (QAccessible::isActive()) {
        QAccessibleTextInsertEvent event(this, int(shownSize), log_.text().sliced(shownSize));
        QAccessible::updateAccessibility(&event);
    }
}

void LogField::updateMetrics() {
    QTextLayout layout;
    layout.setText(u"X"_s);
    layout.setFont(font());
    layout.setTextOption(textOption_);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLeadingIncluded(true);
    layout.endLayout();
    lineHeight_ = line.height();
    if (line.leading() < 0)
        lineHeight_ += std::ceil(line.leading());
    averageAdvance_ = QFontMetricsF(font()).averageCharWidth();
    measuredWidth_ = 0;
    updateScrollRanges();
    viewport()->update();
}

void LogField::updateScrollRanges() {
    const qsizetype fit = fullyVisibleLines();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, int(std::clamp<qsizetype>(log_.lineCount() - fit, 0, INT_MAX)));
    bar->setPageStep(int(fit));
    updateHorizontalRange();
}

// Measuring every line would cost what this field exists to avoid: the
// range comes from the longest line at the font's average advance, widened
// by what the lines painted so far really measure.
void LogField::updateHorizontalRange() {
    const qreal widest =
        std::max(measuredWidth_, qreal(log_.longestLineLength()) * averageAdvance_);
    const qreal content = widest + 2 * documentMargin + caretWidth;
    const int width = viewport()->width();
    QScrollBar* bar = horizontalScrollBar();
    bar->setRange(0, std::max(0, int(std::min<qreal>(std::ceil(content), INT_MAX)) - width));
    bar->setPageStep(width);
}

void LogField::layOut(QTextLayout& layout, qsizetype line) const {
    layout.setText(log_.line(line).toString());
    layout.setFont(font());
    layout.setTextOption(textOption_);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLeadingIncluded(true);
    textLine.setLineWidth(qreal(INT_MAX));
    textLine.setPosition(QPointF(0, 0));
    layout.endLayout();
}

qsizetype LogField::firstVisibleLine() const {
    return verticalScrollBar()->value();
}

// At the end of the text, as QPlainTextEdit counts them: the last line has
// the bottom margin below it and one pixel more.
qsizetype LogField::fullyVisibleLines() const {
    const qreal room = viewport()->height() - 2 * documentMargin - 1;
    return std::max<qsizetype>(1, qsizetype(room / lineHeight_));
}

// The top margin shows only above the first line, as in QPlainTextEdit.
qreal LogField::lineTop(qsizetype line) const {
    const qsizetype first = firstVisibleLine();
    return (first == 0 ? documentMargin : 0) + qreal(line - first) * lineHeight_;
}

qreal LogField::textLeft() const {
    return documentMargin - horizontalScrollBar()->value();
}

qsizetype LogField::positionAt(QPoint point) const {
    const qreal top = lineTop(firstVisibleLine());
    const qsizetype line = std::clamp<qsizetype>(
        firstVisibleLine() + qsizetype(std::floor((point.y() - top) / lineHeight_)), 0,
        log_.lineCount() - 1);
    QTextLayout layout;
    layOut(layout, line);
    const int column = layout.lineAt(0).xToCursor(point.x() - textLeft());
    return log_.lineStart(line) + column;
}

QRect LogField::characterRect(qsizetype position) const {
    const LinePosition at = log_.linePosition(position);
    QTextLayout layout;
    layOut(layout, at.line);
    const QTextLine line = layout.lineAt(0);
    const int column = int(at.column);
    const qreal left = line.cursorToX(column);
    const qreal right = column < layout.text().size()
                            ? line.cursorToX(layout.nextCursorPosition(column))
                            : left + averageAdvance_;
    return QRectF(textLeft() + std::min(left, right), lineTop(at.line), std::abs(right - left),
                  lineHeight_)
        .toAlignedRect();
}

QRect LogField::caretRect() const {
    const LinePosition at = log_.linePosition(caret_);
    QTextLayout layout;
    layOut(layout, at.line);
    const int x = int(textLeft() + layout.lineAt(0).cursorToX(int(at.column)));
    return QRectF(x - 1, lineTop(at.line), caretWidth + 2, lineHeight_).toAlignedRect();
}

void LogField::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setPen(palette().text().color());
    const QRect dirty = event->rect();
    QTextCharFormat selectionFormat;
    selectionFormat.setBackground(palette().brush(QPalette::Highlight));
    selectionFormat.setForeground(palette().brush(QPalette::HighlightedText));
    const bool showCaret = caretOn_ && hasFocus();
    bool widened = false;

    for (qsizetype line = firstVisibleLine(); line < log_.lineCount(); ++line) {
        const qreal top = lineTop(line);
        if (top > dirty.bottom())
            break;
        if (top + lineHeight_ < dirty.top())
            continue;
        QTextLayout layout;
        layOut(layout, line);
        const qsizetype start = log_.lineStart(line);
        const qsizetype length = log_.lineLength(line);
        QList<QTextLayout::FormatRange> selections;
        if (hasSelection()) {
            // A selection over the line's break shows one blank's width more.
            const qsizetype from = std::max<qsizetype>(selectionStart() - start, 0);
            const qsizetype to =
                selectionEnd() > start + length ? length + 1 : selectionEnd() - start;
            if (from < to && from <= length)
                selections.append({int(from), int(to - from), selectionFormat});
        }
        const QPointF origin(textLeft(), top);
        layout.draw(&painter, origin, selections);
        if (showCaret && caret_ >= start && caret_ <= start + length)
            layout.drawCursor(&painter, origin, int(caret_ - start), caretWidth);
        const qreal width = layout.lineAt(0).naturalTextWidth();
        if (width > measuredWidth_) {
            measuredWidth_ = width;
            widened = true;
        }
    }
    if (widened)
        updateHorizontalRange();
}

void LogField::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void LogField::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
}

void LogField::scrollContentsBy(int, int) {
    viewport()->update();
}

void LogField::keyPressEvent(QKeyEvent* event) {
    static const struct {
        QKeySequence::StandardKey key;
        Move move;
        bool select;
    } moves[] = {
        {QKeySequence::MoveToNextChar, Move::NextCharacter, false},
        {QKeySequence::SelectNextChar, Move::NextCharacter, true},
        {QKeySequence::MoveToPreviousChar, Move::PreviousCharacter, false},
        {QKeySequence::SelectPreviousChar, Move::PreviousCharacter, true},
        {QKeySequence::MoveToNextWord, Move::NextWord, false},
        {QKeySequence::SelectNextWord, Move::NextWord, true},
        {QKeySequence::MoveToPreviousWord, Move::PreviousWord, false},
        {QKeySequence::SelectPreviousWord, Move::PreviousWord, true},
        {QKeySequence::MoveToStartOfLine, Move::StartOfLine, false},
        {QKeySequence::SelectStartOfLine, Move::StartOfLine, true},
        {QKeySequence::MoveToEndOfLine, Move::EndOfLine, false},
        {QKeySequence::SelectEndOfLine, Move::EndOfLine, true},
        {QKeySequence::MoveToNextLine, Move::NextLine, false},
        {QKeySequence::SelectNextLine, Move::NextLine, true},
        {QKeySequence::MoveToPreviousLine, Move::PreviousLine, false},
        {QKeySequence::SelectPreviousLine, Move::PreviousLine, true},
        {QKeySequence::MoveToNextPage, Move::NextPage, false},
        {QKeySequence::SelectNextPage, Move::NextPage, true},
        {QKeySequence::MoveToPreviousPage, Move::PreviousPage, false},
        {QKeySequence::SelectPreviousPage, Move::PreviousPage, true},
        {QKeySequence::MoveToStartOfDocument, Move::StartOfText, false},
        {QKeySequence::SelectStartOfDocument, Move::StartOfText, true},
        {QKeySequence::MoveToEndOfDocument, Move::EndOfText, false},
        {QKeySequence::SelectEndOfDocument, Move::EndOfText, true},
    };
    for (const auto& entry : moves) {
        if (event->matches(entry.key)) {
            moveCaret(entry.move, entry.select);
            return;
        }
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->matches(QKeySequence::Delete)) {
        deleteForward();
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        deleteBackward();
    } else if (event->matches(QKeySequence::InsertParagraphSeparator) ||
               event->matches(QKeySequence::InsertLineSeparator)) {
        insert(u"\r\n"_s);
    } else if (isTypedText(event->text()) &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        insert(event->text());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void LogField::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype position = positionAt(event->position().toPoint());
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    goalX_ = -1;
    select(extend ? anchor_ : position, position);
    selectingWithMouse_ = true;
}

void LogField::mouseMoveEvent(QMouseEvent* event) {
    if (!selectingWithMouse_ || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint point = event->position().toPoint();
    // Dragging past the edges scrolls a line at a time.
    QScrollBar* bar = verticalScrollBar();
    if (point.y() < 0)
        bar->setValue(bar->value() - 1);
    else if (point.y() > viewport()->height())
        bar->setValue(bar->value() + 1);
    select(anchor_, positionAt(point));
    ensureCaretVisible();
}

void LogField::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        selectingWithMouse_ = false;
}

void LogField::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    selectWordAt(positionAt(event->position().toPoint()));
}

void LogField::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const auto entry = [&](const QString& text, QKeySequence::StandardKey key, bool enabled,
                           auto action) {
        QAction* item = menu.addAction(text);
        item->setShortcut(key);
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, this, action);
    };
    const bool clipboardHasText = !QGuiApplication::clipboard()->text().isEmpty();
    entry(u"Ausschneiden"_s, QKeySequence::Cut, hasSelection(), [this] { cut(); });
    entry(u"Kopieren"_s, QKeySequence::Copy, hasSelection(), [this] { copy(); });
    entry(u"Einfügen"_s, QKeySequence::Paste, clipboardHasText, [this] { paste(); });
    entry(u"Löschen"_s, QKeySequence::UnknownKey, hasSelection(), [this] { removeSelection(); });
    menu.addSeparator();
    entry(u"Alles auswählen"_s, QKeySequence::SelectAll, !log_.isEmpty(), [this] { selectAll(); });
    menu.exec(event->globalPos());
}

void LogField::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    restartCaretBlink();
    viewport()->update();
}

void LogField::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    caretBlink_.stop();
    caretOn_ = false;
    viewport()->update();
}

void LogField::timerEvent(QTimerEvent* event) {
    if (event->timerId() != caretBlink_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    caretOn_ = !caretOn_;
    viewport()->update(caretRect());
}

void LogField::restartCaretBlink() {
    caretOn_ = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flashTime > 0)
        caretBlink_.start(flashTime / 2, this);
    else
        caretBlink_.stop();
}

QString LogField::selectedText() const {
    return log_.text().sliced(selectionStart(), selectionEnd() - selectionStart());
}

void LogField::select(qsizetype anchor, qsizetype caret) {
    // Never between the CR and the LF of one break.
    anchor_ = log_.position(log_.linePosition(anchor));
    caret_ = log_.position(log_.linePosition(caret));
    restartCaretBlink();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, int(caret_));
        QAccessible::updateAccessibility(&moved);
        QAccessibleTextSelectionEvent selected(this, int(selectionStart()), int(selectionEnd()));
        QAccessible::updateAccessibility(&selected);
    }
}

void LogField::moveCaret(Move move, bool keepAnchor) {
    const bool vertical = move == Move::NextLine || move == Move::PreviousLine ||
                          move == Move::NextPage || move == Move::PreviousPage;
    if (!vertical)
        goalX_ = -1;
    if (!keepAnchor && hasSelection() &&
        (move == Move::NextCharacter || move == Move::PreviousCharacter)) {
        const qsizetype edge = move == Move::NextCharacter ? selectionEnd() : selectionStart();
        select(edge, edge);
    } else {
        const qsizetype position = target(move);
        select(keepAnchor ? anchor_ : position, position);
    }
    ensureCaretVisible();
}

qsizetype LogField::target(Move move) {
    const LinePosition at = log_.linePosition(caret_);
    const qsizetype start = log_.lineStart(at.line);
    const qsizetype length = log_.lineLength(at.line);
    const bool lastLine = at.line + 1 >= log_.lineCount();
    QTextLayout layout;
    layOut(layout, at.line);
    const int column = int(at.column);
    const auto verticalTarget = [&](qsizetype lines) {
        if (goalX_ < 0)
            goalX_ = layout.lineAt(0).cursorToX(column);
        const qsizetype line = std::clamp<qsizetype>(at.line + lines, 0, log_.lineCount() - 1);
        QTextLayout other;
        layOut(other, line);
        return log_.lineStart(line) + other.lineAt(0).xToCursor(goalX_);
    };
    const auto page = [&](qsizetype lines) {
        QScrollBar* bar = verticalScrollBar();
        bar->setValue(int(std::clamp<qsizetype>(bar->value() + lines, 0, INT_MAX)));
        return verticalTarget(lines);
    };
    switch (move) {
    case Move::NextCharacter:
        if (column < length)
            return start + layout.nextCursorPosition(column);
        return lastLine ? caret_ : log_.lineStart(at.line + 1);
    case Move::PreviousCharacter:
        if (column > 0)
            return start + layout.previousCursorPosition(column);
        return at.line > 0 ? log_.lineEnd(at.line - 1) : caret_;
    case Move::NextWord:
        if (column < length)
            return start + layout.nextCursorPosition(column, QTextLayout::SkipWords);
        return lastLine ? caret_ : log_.lineStart(at.line + 1);
    case Move::PreviousWord:
        if (column > 0)
            return start + layout.previousCursorPosition(column, QTextLayout::SkipWords);
        return at.line > 0 ? log_.lineEnd(at.line - 1) : caret_;
    case Move::StartOfLine:
        return start;
    case Move::EndOfLine:
        return start + length;
    case Move::NextLine:
        return verticalTarget(1);
    case Move::PreviousLine:
        return verticalTarget(-1);
    case Move::NextPage:
        return page(fullyVisibleLines());
    case Move::PreviousPage:
        return page(-fullyVisibleLines());
    case Move::StartOfText:
        return 0;
    case Move::EndOfText:
        return log_.size();
    }
    return caret_;
}

void LogField::ensureCaretVisible() {
    ensureVisible(caret_);
}

void LogField::ensureVisible(qsizetype position) {
    const LinePosition at = log_.linePosition(position);
    QScrollBar* vertical = verticalScrollBar();
    const qsizetype first = vertical->value();
    if (at.line < first)
        vertical->setValue(int(at.line));
    else if (at.line >= first + fullyVisibleLines())
        vertical->setValue(int(at.line - fullyVisibleLines() + 1));

    QTextLayout layout;
    layOut(layout, at.line);
    const qreal x = layout.lineAt(0).cursorToX(int(at.column));
    if (x > measuredWidth_) {
        measuredWidth_ = x;
        updateHorizontalRange();
    }
    QScrollBar* horizontal = horizontalScrollBar();
    const qreal right = x + 2 * documentMargin + caretWidth;
    if (x < horizontal->value())
        horizontal->setValue(int(std::floor(x)));
    else if (right > horizontal->value() + viewport()->width())
        horizontal->setValue(int(std::ceil(right)) - viewport()->width());
}

void LogField::edit(qsizetype from, qsizetype to, const QString& text) {
    const QString removed = log_.text().sliced(from, to - from);
    log_.replace(from, to, text);
    caret_ = anchor_ = from + text.size();
    goalX_ = -1;
    shownLines_ = log_.lineCount();
    shownSize_ = log_.size();
    updateScrollRanges();
    ensureCaretVisible();
    restartCaretBlink();
    viewport()->update();
    if (QAccessible::isActive()) {
        if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent event(this, int(from), removed);
            QAccessible::updateAccessibility(&event);
        }
        if (!text.isEmpty()) {
            QAccessibleTextInsertEvent event(this, int(from), text);
            QAccessible::updateAccessibility(&event);
        }
    }
}

void LogField::insert(QString text) {
    edit(selectionStart(), selectionEnd(), text);
}

void LogField::removeSelection() {
    if (hasSelection())
        edit(selectionStart(), selectionEnd(), QString());
}

void LogField::deleteForward() {
    if (hasSelection()) {
        removeSelection();
        return;
    }
    const LinePosition at = log_.linePosition(caret_);
    if (at.column < log_.lineLength(at.line)) {
        QTextLayout layout;
        layOut(layout, at.line);
        edit(caret_, log_.lineStart(at.line) + layout.nextCursorPosition(int(at.column)),
             QString());
    } else if (at.line + 1 < log_.lineCount()) {
        // The whole break, a CR LF as one.
        edit(caret_, log_.lineStart(at.line + 1), QString());
    }
}

void LogField::deleteBackward() {
    if (hasSelection()) {
        removeSelection();
        return;
    }
    const LinePosition at = log_.linePosition(caret_);
    if (at.column > 0) {
        QTextLayout layout;
        layOut(layout, at.line);
        edit(log_.lineStart(at.line) + layout.previousCursorPosition(int(at.column)), caret_,
             QString());
    } else if (at.line > 0) {
        edit(log_.lineEnd(at.line - 1), caret_, QString());
    }
}

// Other programs expect LF line ends; the log itself keeps CR LF.
void LogField::copy() const {
    if (hasSelection())
        QGuiApplication::clipboard()->setText(withLineBreaks(selectedText(), u"\n"));
}

void LogField::cut() {
    copy();
    removeSelection();
}

void LogField::paste() {
    const QString pasted = QGuiApplication::clipboard()->text();
    if (!pasted.isEmpty())
        insert(withLineBreaks(pasted, u"\r\n"));
}

void LogField::selectAll() {
    select(0, log_.size());
}

void LogField::selectWordAt(qsizetype position) {
    const LinePosition at = log_.linePosition(position);
    const QString line = log_.line(at.line).toString();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, line);
    finder.setPosition(at.column);
    qsizetype start = at.column;
    if (!finder.isAtBoundary() || !(finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem))
        start = std::max<qsizetype>(0, finder.toPreviousBoundary());
    finder.setPosition(start);
    qsizetype end = finder.toNextBoundary();
    if (end < 0)
        end = line.size();
    const qsizetype lineStart = log_.lineStart(at.line);
    select(lineStart + start, lineStart + end);
}
