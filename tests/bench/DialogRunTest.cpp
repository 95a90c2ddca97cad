#include "bench/DialogRun.h"
#include "bench/PaintGaps.h"
#include "bench/RunLog.h"

#include "tests/support/TempTree.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(PaintGaps, CountsPaintsOfWatchedWidgetsOnlyWhileTheRunIsUnderWay) {
    QWidget window;
    auto* watched = new QWidget(&window);
    auto* other = new QWidget(&window);
    watched->setGeometry(0, 0, 20, 20);
    other->setGeometry(20, 0, 20, 20);
    window.resize(40, 20);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PaintGaps gaps;
    gaps.watch(watched);

    watched->repaint();
    gaps.begin();
    watched->repaint();
    other->repaint();
    watched->repaint();
    gaps.end();
    watched->repaint();

    EXPECT_EQ(gaps.paints(), 2);
    EXPECT_GT(gaps.longest(), 0);
}

class DialogRunTest : public testing::Test {
protected:
    DialogInput numbering(const QString& startNumber) const {
        return {.operation = u"AddNumber"_s,
                .source = source,
                .target = target,
                .search = startNumber,
                .step = u"1"_s,
                .blank = true};
    }

    TempTree tree;
    const QString source = tree.dir(u"src"_s);
    const QString target = tree.dir(u"dst"_s);
};

TEST_F(DialogRunTest, RightRunHasNoFaultAndPaintsItsLog) {
    tree.writeFile(u"src/b.mp3"_s);
    tree.writeFile(u"src/a.mp3"_s);
    DialogRun run(numbering(u"1"_s));
    run.run();

    EXPECT_TRUE(run.faults(u"a.mp3\r\nb.mp3\r\n"_s).isEmpty());
    EXPECT_GE(run.paints(), 1);
    EXPECT_EQ(tree.entries(u"dst"_s), (QStringList{u"01 a.mp3"_s, u"02 b.mp3"_s}));
}

TEST_F(DialogRunTest, MoveBackFromTheDialogRenamesInPlace) {
    tree.writeFile(u"src/a.mp3"_s);
    DialogInput input = numbering(u"7"_s);
    input.moveBack = true;
    DialogRun run(input);
    run.run();

    EXPECT_TRUE(run.faults(u"a.mp3\r\n"_s).isEmpty());
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"07 a.mp3"_s});
    EXPECT_TRUE(tree.entries(u"dst"_s).isEmpty());
}

TEST_F(DialogRunTest, PreviewLogsOldAndNewNamesAsTheBenchmarkExpectsAndMovesNothing) {
    tree.writeFile(u"src/b.mp3"_s);
    tree.writeFile(u"src/a.mp3"_s);
    DialogInput input = numbering(u"1"_s);
    input.step = u"0"_s;
    DialogRun run(input);
    run.run(DialogButton::Preview);

    EXPECT_TRUE(run.faults(previewLogOf(source, target, {"a.mp3", "b.mp3"}, "01 ")).isEmpty());
    EXPECT_EQ(run.faults(runLogOf({"a.mp3", "b.mp3"})),
              (QStringList{u"AddNumber did not log every name"_s,
                           u"AddNumber did not show every name in its log field"_s}));
    EXPECT_EQ(tree.entries(u"src"_s), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
    EXPECT_TRUE(tree.entries(u"dst"_s).isEmpty());
}

TEST_F(DialogRunTest, MessageOfTheRunIsAnsweredAndReported) {
    tree.writeFile(u"src/a.mp3"_s);
    DialogRun run(numbering(u"40000"_s));
    run.run();

    EXPECT_EQ(run.faults({}), QStringList{u"AddNumber showed \"Fehler im Modul AddNumber\""_s});
    EXPECT_EQ(tree.entries(u"src"_s), QStringList{u"a.mp3"_s});
}

TEST_F(DialogRunTest, LogOtherThanExpectedIsReportedForTheRunAndForTheField) {
    tree.writeFile(u"src/a.mp3"_s);
    DialogRun run(numbering(u"1"_s));
    run.run();

    for (const QString& expected : {u"a.mp3"_s, u"a.mp3\r\nb.mp3\r\n"_s, QString()})
        EXPECT_EQ(run.faults(expected),
                  (QStringList{u"AddNumber did not log every name"_s,
                               u"AddNumber did not show every name in its log field"_s}))
            << expected.toStdString();
}

TEST_F(DialogRunTest, Id3CheckKeepsTheLastTagReadForTheCaller) {
    tree.writeFile(u"src/a.mp3"_s, "TAGTitel" + QByteArray(120, '\0'));
    DialogRun run({.operation = u"ReadID3"_s, .source = source});
    run.run();

    EXPECT_TRUE(run.faults(u"a.mp3\r\n"_s).isEmpty());
    EXPECT_EQ(run.state().ID3Tag.Tag, "TAG");
    EXPECT_EQ(run.state().ID3Tag.Title, "Titel" + QByteArray(25, '\0'));
}

} // namespace
