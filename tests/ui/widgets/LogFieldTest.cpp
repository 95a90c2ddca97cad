#include "ui/widgets/LogField.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Counts the paints of a widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

class LogFieldTest : public testing::Test {
protected:
    LogFieldTest() {
        QFont font(u"Courier New"_s);
        font.setPointSizeF(8.25);
        field.setFont(font);
        field.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        field.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        field.resize(345, 137);
        field.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&field));
        field.activateWindow();
        field.setFocus();
    }

    // Where the field shows a place of its text, while it is scrolled to the
    // top: the document margin, then a line height a line.
    QPoint pointAt(qsizetype line, const QString& textBefore) const {
        const QFontMetricsF metrics(field.font());
        const int lineHeight = qCeil(metrics.height());
        return QPoint(4 + qRound(metrics.horizontalAdvance(textBefore)),
                      4 + int(line) * lineHeight + lineHeight / 2);
    }

    void appendLines(int count, const QString& pattern = u"Titel %1.mp3\r\n"_s) {
        for (int line = 0; line < count; ++line)
            field.appendText(pattern.arg(line));
    }

    LogField field;
};

TEST_F(LogFieldTest, KeysEditTheExactText) {
    using Keys = std::function<void(QWidget*)>;
    const auto key = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                        int times = 1) {
        return [=](QWidget* widget) {
            for (int time = 0; time < times; ++time)
                QTest::keyClick(widget, key, modifiers);
        };
    };
    const auto type = [](const QString& text) {
        return [=](QWidget* widget) { QTest::keyClicks(widget, text); };
    };
    const struct {
        const char* name;
        QString text;
        std::vector<Keys> keys;
        QString result;
    } rows[] = {
        {"typing goes in at the caret", u"b\r\n"_s, {type(u"a"_s)}, u"ab\r\n"_s},
        {"Enter inserts CR LF", u"ab"_s, {key(Qt::Key_Right), key(Qt::Key_Return)}, u"a\r\nb"_s},
        {"Backspace at a line start removes the whole CR LF",
         u"a\r\nb"_s,
         {key(Qt::Key_Down), key(Qt::Key_Backspace)},
         u"ab"_s},
        {"Delete at a line end removes the whole CR LF",
         u"a\r\nb"_s,
         {key(Qt::Key_End), key(Qt::Key_Delete)},
         u"ab"_s},
        {"Backspace removes a lone CR",
         u"a\rb"_s,
         {key(Qt::Key_End, Qt::ControlModifier), key(Qt::Key_Left), key(Qt::Key_Backspace)},
         u"ab"_s},
        {"Delete removes a letter with its combining mark",
         u"e\u0301x"_s,
         {key(Qt::Key_Delete)},
         u"x"_s},
        {"Right passes a letter with its combining mark at once",
         u"e\u0301x"_s,
         {key(Qt::Key_Right), type(u"|"_s)},
         u"e\u0301|x"_s},
        {"Shift+Right selects and typing replaces the selection",
         u"abc"_s,
         {key(Qt::Key_Right, Qt::ShiftModifier, 2), type(u"x"_s)},
         u"xc"_s},
        {"Shift+Down selects over the break",
         u"ab\r\ncd"_s,
         {key(Qt::Key_Right), key(Qt::Key_Down, Qt::ShiftModifier), key(Qt::Key_Delete)},
         u"ad"_s},
        {"Ctrl+A and Backspace clear everything",
         u"a\r\nb\r\n"_s,
         {key(Qt::Key_A, Qt::ControlModifier), key(Qt::Key_Backspace)},
         u""_s},
        {"Ctrl+Right moves to the next word",
         u"eins zwei"_s,
         {key(Qt::Key_Right, Qt::ControlModifier), type(u"|"_s)},
         u"eins |zwei"_s},
        {"Ctrl+Left at a line start goes to the end of the line before",
         u"ab\r\ncd"_s,
         {key(Qt::Key_Down), key(Qt::Key_Left, Qt::ControlModifier), type(u"|"_s)},
         u"ab|\r\ncd"_s},
        {"Down keeps its column over a shorter line",
         u"abc\r\nd\r\nefg"_s,
         {key(Qt::Key_Right, Qt::NoModifier, 2), key(Qt::Key_Down, Qt::NoModifier, 2),
          type(u"|"_s)},
         u"abc\r\nd\r\nef|g"_s},
        {"Home and End stay in the line",
         u"ab\r\ncd\r\nef"_s,
         {key(Qt::Key_Down), key(Qt::Key_End), type(u"]"_s), key(Qt::Key_Home), type(u"["_s)},
         u"ab\r\n[cd]\r\nef"_s},
        {"Ctrl+End goes behind the last break",
         u"a\r\n"_s,
         {key(Qt::Key_End, Qt::ControlModifier), type(u"b"_s)},
         u"a\r\nb"_s},
        {"Left with a selection goes to its start",
         u"abc"_s,
         {key(Qt::Key_End, Qt::ShiftModifier), key(Qt::Key_Left), type(u"|"_s)},
         u"|abc"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        field.setText(row.text);
        for (const Keys& keys : row.keys)
            keys(&field);
        EXPECT_EQ(field.text(), row.result);
    }
}

TEST_F(LogFieldTest, ClipboardGetsLfLineEndsAndPastedBreaksBecomeCrLf) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const struct {
        const char* name;
        QString text;
        QString clipboardBefore;
        std::function<void()> keys;
        QString clipboardAfter;
        QString result;
    } rows[] = {
        {"copy gives LF line ends",
         u"a\r\nb\rc"_s,
         {},
         [&] {
             QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
             QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier);
         },
         u"a\nb\nc"_s,
         u"a\r\nb\rc"_s},
        {"cut copies and removes the selection",
         u"ab\r\ncd"_s,
         {},
         [&] {
             QTest::keyClick(&field, Qt::Key_Right);
             QTest::keyClick(&field, Qt::Key_Down, Qt::ShiftModifier);
             QTest::keyClick(&field, Qt::Key_X, Qt::ControlModifier);
         },
         u"b\nc"_s,
         u"ad"_s},
        {"pasted line breaks of every kind become CR LF", u"a"_s, u"x\ny\rz\r\n"_s,
         [&] {
             QTest::keyClick(&field, Qt::Key_End);
             QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
         },
         u"x\ny\rz\r\n"_s, u"ax\r\ny\r\nz\r\n"_s},
        {"copy without a selection leaves the clipboard alone", u"a"_s, u"vorher"_s,
         [&] { QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier); }, u"vorher"_s, u"a"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        field.setText(row.text);
        clipboard->setText(row.clipboardBefore);
        row.keys();
        EXPECT_EQ(clipboard->text(), row.clipboardAfter);
        EXPECT_EQ(field.text(), row.result);
    }
}

TEST_F(LogFieldTest, MouseSetsTheCaretSelectsByDraggingAndWordsByDoubleClick) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QWidget* viewport = field.viewport();
    const struct {
        const char* name;
        std::function<void()> mouse;
        QString copied;
    } rows[] = {
        {"drag selects from the press to the release",
         [&] {
             QTest::mousePress(viewport, Qt::LeftButton, {}, pointAt(0, u"eins "_s));
             QTest::mouseMove(viewport, pointAt(1, u"drei"_s));
             QTest::mouseRelease(viewport, Qt::LeftButton, {}, pointAt(1, u"drei"_s));
         },
         u"zwei\ndrei"_s},
        {"Shift+click extends from the caret",
         [&] {
             QTest::mouseClick(viewport, Qt::LeftButton, {}, pointAt(1, u"d"_s));
             QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier,
                               pointAt(1, u"drei vi"_s));
         },
         u"rei vi"_s},
        {"double-click selects the word under the mouse",
         [&] { QTest::mouseDClick(viewport, Qt::LeftButton, {}, pointAt(1, u"drei v"_s)); },
         u"vier"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        field.setText(u"eins zwei\r\ndrei vier\r\n"_s);
        row.mouse();
        QTest::keyClick(&field, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text(), row.copied);
    }

    field.setText(u"eins zwei\r\ndrei vier\r\n"_s);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, pointAt(1, u"drei"_s));
    QTest::keyClicks(&field, u"|"_s);
    EXPECT_EQ(field.text(), u"eins zwei\r\ndrei| vier\r\n"_s) << "a click sets the caret";
}

TEST_F(LogFieldTest, AppendedLinesReachTheScrollRangesInOneEventLoopPass) {
    appendLines(10000, u"Titel %1 mit einem Namen, der breiter ist als das Feld.mp3\r\n"_s);
    EXPECT_EQ(field.verticalScrollBar()->maximum(), 0) << "appending does no widget work";
    QApplication::processEvents();

    const int shownLines = field.verticalScrollBar()->pageStep();
    EXPECT_GT(shownLines, 1);
    EXPECT_EQ(field.lineCount(), 10001);
    EXPECT_EQ(field.verticalScrollBar()->maximum(), 10001 - shownLines);
    EXPECT_GT(field.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(field.verticalScrollBar()->value(), 0);
}

TEST_F(LogFieldTest, AppendsNeverMoveTheViewOrTheCaretAndSetTextScrollsToTheTop) {
    appendLines(1000);
    QApplication::processEvents();
    field.verticalScrollBar()->setValue(500);
    QTest::mouseClick(field.viewport(), Qt::LeftButton, {}, pointAt(0, u"Tit"_s));

    appendLines(1000);
    QApplication::processEvents();
    EXPECT_EQ(field.verticalScrollBar()->value(), 500);
    QTest::keyClicks(&field, u"|"_s);
    EXPECT_TRUE(field.text().contains(u"\r\nTit|el 500.mp3\r\n"_s));

    field.setText(u"neu\r\n"_s);
    QApplication::processEvents();
    EXPECT_EQ(field.verticalScrollBar()->value(), 0);
    EXPECT_EQ(field.verticalScrollBar()->maximum(), 0);
}

TEST_F(LogFieldTest, RepaintsOnlyWhenAppendedLinesCanBeSeen) {
    const struct {
        const char* name;
        int linesBefore;
        int scrolledTo;
        bool repaints;
    } rows[] = {
        {"an empty field shows its first lines", 0, 0, true},
        {"lines far below the view are not painted", 1000, 0, false},
        {"lines that reach into the view are painted", 3, 0, true},
        {"the end in view shows what comes", 1000, 1000, true},
    };
    PaintCounter counter(field.viewport());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        field.setText(QString());
        appendLines(row.linesBefore);
        QApplication::processEvents();
        field.verticalScrollBar()->setValue(row.scrolledTo);
        // Any paint still due is made here, before counting.
        field.viewport()->repaint();
        QApplication::processEvents();
        counter.paints = 0;

        appendLines(5);
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_EQ(counter.paints > 0, row.repaints);
    }
}

TEST_F(LogFieldTest, ShowAppendedTakesTheLinesAtOnceSoTheNextPassPaintsTheScrollBar) {
    appendLines(1000);
    QApplication::processEvents();
    PaintCounter scrollBarPaints(field.verticalScrollBar());

    appendLines(1000);
    EXPECT_TRUE(field.showAppended());
    EXPECT_EQ(field.verticalScrollBar()->maximum(), 2001 - field.verticalScrollBar()->pageStep());
    // A run lets the event loop make a single pass per report.
    QApplication::processEvents();
    EXPECT_GT(scrollBarPaints.paints, 0);
    EXPECT_FALSE(field.showAppended()) << "nothing was appended since";
}

TEST_F(LogFieldTest, ScreenReadersReadTheTextCaretSelectionAndLines) {
    field.setText(u"eins\r\nzwei\r\ndrei"_s);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&field);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_TRUE(accessible->state().editable);
    EXPECT_TRUE(accessible->state().multiLine);
    EXPECT_EQ(accessible->text(QAccessible::Value), field.text());
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);

    EXPECT_EQ(text->characterCount(), field.text().size());
    EXPECT_EQ(text->text(6, 10), u"zwei"_s);
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(7, QAccessible::LineBoundary, &start, &end), u"zwei\r\n"_s);
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 12);
    EXPECT_EQ(text->textAfterOffset(7, QAccessible::LineBoundary, &start, &end), u"drei"_s);
    EXPECT_EQ(text->textBeforeOffset(7, QAccessible::LineBoundary, &start, &end), u"eins\r\n"_s);

    QTest::keyClick(&field, Qt::Key_Down);
    QTest::keyClick(&field, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(text->cursorPosition(), 7);
    EXPECT_EQ(text->selectionCount(), 1);
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 7);

    text->setCursorPosition(14);
    EXPECT_EQ(text->selectionCount(), 0);
    QTest::keyClicks(&field, u"|"_s);
    EXPECT_EQ(field.text(), u"eins\r\nzwei\r\ndr|ei"_s);
    EXPECT_EQ(text->offsetAtPoint(field.viewport()->mapToGlobal(pointAt(1, u"zw"_s))), 8);
}

// Qt's own search for a boundary never ended at the end of the text.
TEST_F(LogFieldTest, ScreenReadersReadWordsAndSentencesUpToTheEnd) {
    field.setText(u"eins zwei\r\ndrei"_s);
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(&field)->textInterface();
    const int count = text->characterCount();
    for (const QAccessible::TextBoundaryType boundary :
         {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
          QAccessible::ParagraphBoundary, QAccessible::NoBoundary}) {
        SCOPED_TRACE(int(boundary));
        for (const int offset : {count - 1, count, count + 1}) {
            int start = -2;
            int end = -2;
            const QString at = text->textAtOffset(offset, boundary, &start, &end);
            EXPECT_EQ(at, field.text().mid(start, end - start));
            const QString after = text->textAfterOffset(offset, boundary, &start, &end);
            EXPECT_EQ(after, field.text().mid(start, end - start));
            const QString before = text->textBeforeOffset(offset, boundary, &start, &end);
            EXPECT_EQ(before, field.text().mid(start, end - start));
        }
    }
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textBeforeOffset(count, QAccessible::WordBoundary, &start, &end), u"drei"_s);
}

TEST_F(LogFieldTest, ContextMenuOffersTheEditsInGerman) {
    field.setText(u"a\r\nb"_s);
    QStringList entries;
    const auto openMenu = [&](const QString& choice) {
        QTimer::singleShot(0, &field, [&entries, choice] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            entries.clear();
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                entries.append(action->text());
                if (action->text() == choice && action->isEnabled())
                    chosen = action;
            }
            menu->close();
            if (chosen)
                chosen->trigger();
        });
        const QPoint point = pointAt(0, QString());
        QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                                field.viewport()->mapToGlobal(point));
        QApplication::sendEvent(field.viewport(), &event);
    };

    openMenu(u"Alles auswählen"_s);
    EXPECT_EQ(entries, (QStringList{u"Ausschneiden"_s, u"Kopieren"_s, u"Einfügen"_s, u"Löschen"_s,
                                    u"Alles auswählen"_s}));
    openMenu(u"Kopieren"_s);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"a\nb"_s);
    openMenu(u"Löschen"_s);
    EXPECT_EQ(field.text(), QString());
}

} // namespace
