#include "ui/widgets/LogFieldAccessible.h"

#include "ui/widgets/LogField.h"

using namespace Qt::StringLiterals;

LogFieldAccessible::LogFieldAccessible(LogField* field)
    : QAccessibleWidget(field, QAccessible::EditableText) {}

LogField* LogFieldAccessible::field() const {
    return static_cast<LogField*>(widget());
}

QAccessible::State LogFieldAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString LogFieldAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value)
        return field()->text();
    return QAccessibleWidget::text(kind);
}

void* LogFieldAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void LogFieldAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    const bool exists = selectionIndex == 0 && field()->hasSelection();
    *startOffset = exists ? int(field()->selectionStart()) : 0;
    *endOffset = exists ? int(field()->selectionEnd()) : 0;
}

int LogFieldAccessible::selectionCount() const {
    return field()->hasSelection() ? 1 : 0;
}

void LogFieldAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void LogFieldAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        field()->select(field()->caret_, field()->caret_);
}

void LogFieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0)
        field()->select(startOffset, endOffset);
}

int LogFieldAccessible::cursorPosition() const {
    return int(field()->caret_);
}

void LogFieldAccessible::setCursorPosition(int position) {
    field()->select(position, position);
}

QString LogFieldAccessible::text(int startOffset, int endOffset) const {
    return field()->text().mid(startOffset, endOffset - startOffset);
}

QString LogFieldAccessible::lineText(int offset, int lines, int* startOffset,
                                     int* endOffset) const {
    const LogText& log = field()->log_;
    const qsizetype line = log.linePosition(offset).line + lines;
    if (line < 0 || line >= log.lineCount()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    const qsizetype start = log.lineStart(line);
    const qsizetype end = line + 1 < log.lineCount() ? log.lineStart(line + 1) : log.size();
    *startOffset = int(start);
    *endOffset = int(end);
    return log.text().sliced(start, end - start);
}

// Lines come from the field's index, so that reading a long log line by line
// does not search the whole text for every line.
// Qt's own search for a word, sentence or character never ends when it
// starts at the end of the text: nothing is there or after it, and the item
// before it is the one at the last character.
QString LogFieldAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const {
    if (boundaryType == QAccessible::LineBoundary)
        return lineText(offset, -1, startOffset, endOffset);
    const int count = characterCount();
    if (offset >= count && count > 0)
        return QAccessibleTextInterface::textAtOffset(count - 1, boundaryType, startOffset,
                                                      endOffset);
    return QAccessibleTextInterface::textBeforeOffset(offset, boundaryType, startOffset, endOffset);
}

QString LogFieldAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    if (boundaryType == QAccessible::LineBoundary)
        return lineText(offset, 1, startOffset, endOffset);
    if (offset >= characterCount())
        return atTheEnd(startOffset, endOffset);
    return QAccessibleTextInterface::textAfterOffset(offset, boundaryType, startOffset, endOffset);
}

QString LogFieldAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int* startOffset, int* endOffset) const {
    if (boundaryType == QAccessible::LineBoundary)
        return lineText(offset, 0, startOffset, endOffset);
    if (offset >= characterCount())
        return atTheEnd(startOffset, endOffset);
    return QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
}

QString LogFieldAccessible::atTheEnd(int* startOffset, int* endOffset) const {
    *startOffset = characterCount();
    *endOffset = *startOffset;
    return {};
}

int LogFieldAccessible::characterCount() const {
    return int(field()->text().size());
}

QRect LogFieldAccessible::characterRect(int offset) const {
    const QRect rect = field()->characterRect(offset);
    return QRect(field()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

int LogFieldAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = field()->viewport()->mapFromGlobal(point);
    if (!field()->viewport()->rect().contains(local))
        return -1;
    return int(field()->positionAt(local));
}

void LogFieldAccessible::scrollToSubstring(int startIndex, int endIndex) {
    field()->ensureVisible(endIndex);
    field()->ensureVisible(startIndex);
}

QString LogFieldAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    Q_UNUSED(offset)
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

QAccessibleInterface* accessibleLogField(const QString& className, QObject* object) {
    if (className == u"LogField"_s && object && object->isWidgetType())
        return new LogFieldAccessible(static_cast<LogField*>(object));
    return nullptr;
}
