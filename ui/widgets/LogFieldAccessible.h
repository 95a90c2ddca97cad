#pragma once

#include <QAccessibleWidget>

class LogField;

// What a screen reader sees of a LogField: an editable text with its caret
// and selection, read line by line from the field's own index.
class LogFieldAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LogFieldAccessible(LogField* field);

    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    LogField* field() const;
    // The line `lines` away from the one that holds `offset`, its break
    // included, or an empty text where there is none.
    QString lineText(int offset, int lines, int* startOffset, int* endOffset) const;
    // Nothing, at the end of the text.
    QString atTheEnd(int* startOffset, int* endOffset) const;
};

// The accessible factory for LogField, installed by its first instance.
QAccessibleInterface* accessibleLogField(const QString& className, QObject* object);
