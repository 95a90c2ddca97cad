#include "ui/main/frm_Information.h"

#include <QLabel>
#include <QTest>
#include <QTextLayout>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList sentences = {
    u"Diese Programm wurde von mir als kleine Toolbox gestaltet, um Dateinamen einfach "
    u"verändern zu können."_s,
    u"Sie werden hierbei von einem Quellverzeichnis eingelesen, der Name wird entsprechend den "
    u"Vorgaben verändert und anschliessend werden die Dateien in ein Zielverzeichnis "
    u"verschoben."_s,
    u"Die Nummerierung erfolgt normalerweise 2-stellig, wenn die Startnummer mit Null beginnt, "
    u"wird dreistellig nummeriert."_s,
    u"Besonders bei der Umbenennung vieler mp3-Files können die Funktionen wie \"Laufende Nummer "
    u"erzeugen\" oder \"Text tauschen/hinzufügen/löschen\" erheblich Arbeit sparen."_s,
};

QLabel* label1(QWidget& window) {
    return window.findChild<QLabel*>(u"Label1"_s);
}

// The lines a word-wrapping plain-text label breaks its text into.
QList<QTextLine> wrappedLines(QTextLayout& layout, int width) {
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QList<QTextLine> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(line);
    }
    layout.endLayout();
    return lines;
}

TEST(InformationWindow, hasItsCaptionClientSizeAndASizableBorder) {
    frm_Information window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(window.objectName(), u"frm_Information"_s);
    EXPECT_EQ(window.windowTitle(), u"Information"_s);
    EXPECT_EQ(window.size(), QSize(4680 / 15, 3555 / 15));
    EXPECT_TRUE(window.isWindow());
    EXPECT_FALSE(window.isModal());
    EXPECT_NE(window.minimumSize(), window.maximumSize());
}

TEST(InformationWindow, captionIsTheFourSentencesSeparatedByRunsOfBlanks) {
    frm_Information window;
    const QLabel* label = label1(window);
    ASSERT_NE(label, nullptr);

    const QString expected = sentences[0] + QString(19, u' ') + sentences[1] + QString(72, u' ') +
                             sentences[2] + QString(107, u' ') + sentences[3];
    EXPECT_EQ(label->text(), expected);
    // Rich text would fold the runs of blanks into one.
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->wordWrap());
}

TEST(InformationWindow, eachSentenceBeginsOnANewLineAndAllLinesFitTheLabel) {
    frm_Information window;
    window.show();
    const QLabel* label = label1(window);
    ASSERT_NE(label, nullptr);
    const QString text = label->text();

    QTextLayout layout(text, label->font());
    const QList<QTextLine> lines = wrappedLines(layout, label->contentsRect().width());
    QList<int> lineStarts;
    for (const QTextLine& line : lines)
        lineStarts.append(line.textStart());

    for (const QString& sentence : sentences) {
        const int start = int(text.indexOf(sentence));
        ASSERT_GE(start, 0);
        EXPECT_TRUE(lineStarts.contains(start)) << sentence.left(30).toStdString();
    }
    const int height = lines.size() * QFontMetrics(label->font()).lineSpacing();
    EXPECT_LE(height, label->contentsRect().height()) << lines.size() << " lines";
}

TEST(InformationWindow, labelKeepsItsPlaceAndSizeWhenTheWindowIsResized) {
    frm_Information window;
    window.show();
    const QLabel* label = label1(window);
    ASSERT_NE(label, nullptr);
    const QRect expected(120 / 15, 240 / 15, 4335 / 15, 2775 / 15);
    EXPECT_EQ(label->geometry(), expected);

    window.resize(600, 500);
    EXPECT_EQ(label->geometry(), expected);
    window.resize(150, 100);
    EXPECT_EQ(label->geometry(), expected);
}

} // namespace
