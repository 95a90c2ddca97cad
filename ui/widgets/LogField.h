#pragma once

#include "core/text/LogText.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QTextOption>

class QTextLayout;

// A plain multi-line text field for a log that grows by many thousand lines:
// it keeps the text as written (CR LF included) with an index of its lines,
// and lays out only the lines it paints. The user can select, copy and edit
// it as any text field; it has no undo.
class LogField final : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit LogField(QWidget* parent = nullptr);

    const QString& text() const { return log_.text(); }
    qsizetype lineCount() const { return log_.lineCount(); }

    // Replaces everything and scrolls to the top.
    void setText(const QString& text);
    // Cheap enough to call once per line: the field takes what was appended
    // when the event loop next runs, and the view stays where it is.
    void appendText(QStringView text);
    // Takes what was appended now rather than when the event loop next runs,
    // so that a long run's next pass of the event loop paints it; false when
    // nothing was appended since.
    bool showAppended();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    friend class LogFieldAccessible;

    enum class Move {
        NextCharacter,
        PreviousCharacter,
        NextWord,
        PreviousWord,
        StartOfLine,
        EndOfLine,
        NextLine,
        PreviousLine,
        NextPage,
        PreviousPage,
        StartOfText,
        EndOfText,
    };

    void takeAppended();
    void updateMetrics();
    void updateScrollRanges();
    void updateHorizontalRange();

    void layOut(QTextLayout& layout, qsizetype line) const;
    qsizetype firstVisibleLine() const;
    qsizetype fullyVisibleLines() const;
    qreal lineTop(qsizetype line) const;
    qreal textLeft() const;
    qsizetype positionAt(QPoint point) const;
    QRect caretRect() const;
    QRect characterRect(qsizetype position) const;

    bool hasSelection() const { return anchor_ != caret_; }
    qsizetype selectionStart() const { return std::min(anchor_, caret_); }
    qsizetype selectionEnd() const { return std::max(anchor_, caret_); }
    QString selectedText() const;
    void select(qsizetype anchor, qsizetype caret);
    void moveCaret(Move move, bool keepAnchor);
    qsizetype target(Move move);
    void ensureCaretVisible();
    void ensureVisible(qsizetype position);

    void insert(QString text);
    void removeSelection();
    void deleteForward();
    void deleteBackward();
    void edit(qsizetype from, qsizetype to, const QString& text);
    void copy() const;
    void cut();
    void paste();
    void selectAll();
    void selectWordAt(qsizetype position);

    void restartCaretBlink();

    LogText log_;
    QTextOption textOption_;
    qreal lineHeight_ = 1;
    qreal averageAdvance_ = 1;
    qreal measuredWidth_ = 0; // the widest line painted so far

    qsizetype caret_ = 0;
    qsizetype anchor_ = 0;
    qreal goalX_ = -1; // where Up and Down aim for, -1 before they are used
    bool selectingWithMouse_ = false;

    bool appendPending_ = false;
    // What the view had taken of the text.
    qsizetype shownLines_ = 1;
    qsizetype shownSize_ = 0;

    QBasicTimer caretBlink_;
    bool caretOn_ = false;
};
