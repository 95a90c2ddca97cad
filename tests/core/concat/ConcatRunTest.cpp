#include "core/concat/ConcatMessages.h"
#include "tests/core/concat/ConcatFixture.h"

#include <QFile>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString finishedText = u"Erledigt!\nAlle Dateien zusammengefasst.\n\n"_s;
const QString remark = u"Achtung! Es sind noch Dateien unbearbeitet."_s;

QByteArray raw(const QString& path) {
    return path.toUtf8();
}

QByteArray joined(const QStringList& names) {
    QByteArray bytes;
    for (const QString& name : names)
        bytes += ConcatFixture::contentOf(name);
    return bytes;
}

class ConcatRunTest : public ConcatFixture {
protected:
    // Manual mode with one directory per slot, each chosen by its first file.
    void manual(const QList<std::pair<QString, QStringList>>& slotDirs) {
        automatic(false);
        int slot = 1;
        for (const auto& [dir, names] : slotDirs)
            choose(slot++, dir + u'/' + names.first());
    }

    void expectOnlyMessage(const QString& text) {
        ASSERT_EQ(window.messages.size(), 1) << window.messageTexts().join(u'|').toStdString();
        EXPECT_EQ(window.messages.first().text, text);
    }

    void expectFinished(const QString& withRemark) {
        ASSERT_FALSE(window.messages.isEmpty());
        const Message& last = window.messages.last();
        EXPECT_EQ(last.text, finishedText + withRemark);
        EXPECT_EQ(last.title, QString());
        EXPECT_EQ(last.icon, MessageIcon::Information);
        EXPECT_EQ(last.buttons, MessageButtons::Ok);
        EXPECT_EQ(window.fields.value(u"txt_Progress"_s), QString());
    }
};

TEST_F(ConcatRunTest, ManualDirectoriesOfFiveSevenAndFiveFilesGiveFivePassesAndTheRemark) {
    const QStringList a = files(u"A"_s, 5, u"a"_s);
    const QStringList b = files(u"B"_s, 7, u"b"_s);
    const QStringList c = files(u"C"_s, 5, u"c"_s);
    manual({{u"A"_s, a}, {u"B"_s, b}, {u"C"_s, c}});

    run.Start();

    QStringList outputs;
    for (int pass = 0; pass < 5; ++pass) {
        const QString name =
            a[pass].left(3) + u'_' + b[pass].left(3) + u'_' + c[pass].left(3) + u".mp3"_s;
        outputs.append(name);
        EXPECT_EQ(read(u"Out/"_s + name), joined({a[pass], b[pass], c[pass]}));
    }
    EXPECT_EQ(entries(u"Out"_s), outputs);
    EXPECT_EQ(entries(u"A"_s), QStringList());
    EXPECT_EQ(entries(u"B"_s), (QStringList{b[5], b[6]}));
    EXPECT_EQ(entries(u"Move"_s).size(), 15);
    EXPECT_EQ(window.pauses, QList<int>(5, 2));
    EXPECT_TRUE(window.textLog.contains(u"txt_Progress=Bearbeitung läuft!  Durchlauf Nr. 3"_s));
    expectFinished(remark);
    EXPECT_EQ(window.messages.size(), 1);
}

TEST_F(ConcatRunTest, ManualEmptySlotDirectoryTouchesNothingAndReportsAtOnce) {
    const QStringList a = files(u"A"_s, 3, u"a"_s);
    write(u"B/b01.mp3"_s, "b");
    manual({{u"A"_s, a}, {u"B"_s, {u"b01.mp3"_s}}});
    ASSERT_EQ(::unlink(path(u"B/b01.mp3"_s).toUtf8().constData()), 0);

    run.Start();

    EXPECT_TRUE(window.pauses.isEmpty());
    EXPECT_EQ(entries(u"A"_s), a);
    EXPECT_EQ(entries(u"Out"_s), QStringList());
    expectFinished(remark);
}

struct AutomaticRow {
    const char* name;
    int fileCount;
    bool emptyDatei4;
    QStringList outputs; // names in Out afterwards, sorted by bytes
};

class AutomaticRows : public ConcatRunTest, public testing::WithParamInterface<AutomaticRow> {};

TEST_P(AutomaticRows, GroupsConsecutiveFiles) {
    const AutomaticRow& row = GetParam();
    const QStringList names = files(u"A"_s, row.fileCount, u"t"_s);
    write(u"A/t00.mp3"_s, "first");
    choose(1, u"A/t00.mp3"_s);
    ASSERT_EQ(::unlink(path(u"A/t00.mp3"_s).toUtf8().constData()), 0);
    if (row.emptyDatei4)
        window.fields[u"txt_Datei4"_s].clear();

    run.Start();

    EXPECT_EQ(entries(u"Out"_s), row.outputs);
    const qsizetype groupSize = row.emptyDatei4 ? 3 : 4;
    for (qsizetype pass = 0; pass < row.outputs.size(); ++pass)
        EXPECT_EQ(read(u"Out/"_s + row.outputs[pass]),
                  joined(names.mid(pass * groupSize, groupSize)));
    EXPECT_EQ(entries(u"A"_s), QStringList());
    EXPECT_EQ(window.pauses.size(), row.outputs.size());
    expectFinished(QString());
}

INSTANTIATE_TEST_SUITE_P(
    Automatic, AutomaticRows,
    testing::Values(AutomaticRow{"TenFilesGiveFourFourAndTwo",
                                 10,
                                 false,
                                 {u"t01_t02_t03_t04.mp3"_s, u"t05_t06_t07_t08.mp3"_s,
                                  u"t09_t10.mp3"_s}},
                    AutomaticRow{"EightFilesGiveExactlyTwoPasses",
                                 8,
                                 false,
                                 {u"t01_t02_t03_t04.mp3"_s, u"t05_t06_t07_t08.mp3"_s}},
                    AutomaticRow{"ThreeFilesGiveOnePassOfThree", 3, false, {u"t01_t02_t03.mp3"_s}},
                    AutomaticRow{"EmptyDirectoryGivesNoPassAndNoRemark", 0, false, {}},
                    AutomaticRow{"EmptiedDatei4JoinsThreeAtATime",
                                 7,
                                 true,
                                 {u"t01_t02_t03.mp3"_s, u"t04_t05_t06.mp3"_s, u"t07.mp3"_s}}),
    [](const testing::TestParamInfo<AutomaticRow>& info) { return std::string(info.param.name); });

TEST_F(ConcatRunTest, ConfirmationIsAskedFromThePassTwoOnAndCancelEndsTheRun) {
    const QStringList a = files(u"A"_s, 2, u"a"_s);
    const QStringList b = files(u"B"_s, 2, u"b"_s);
    const QStringList c = files(u"C"_s, 2, u"c"_s);
    manual({{u"A"_s, a}, {u"B"_s, b}, {u"C"_s, c}});
    window.options[u"Option1"_s] = true;
    window.answer = [](const Message&) { return MessageAnswer::Cancel; };

    run.Start();

    expectOnlyMessage(u"1 * 3 Dateien zusammengefasst.\nNächste 3 Dateien zusammenfassen?"_s);
    const Message& question = window.messages.first();
    EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(question.icon, MessageIcon::Information);
    EXPECT_EQ(question.title, QString());
    EXPECT_EQ(window.pauses.size(), 1);
    EXPECT_EQ(entries(u"Out"_s), QStringList{u"a01_b01_c01.mp3"_s});
    EXPECT_EQ(entries(u"A"_s), QStringList{a[1]});
    EXPECT_EQ(window.fields.value(u"txt_Progress"_s), QString());
    EXPECT_EQ(window.fields.value(u"txt_Datei2"_s), b[1]);
    EXPECT_EQ(window.fields.value(u"txt_Datei4"_s), QString());
}

TEST_F(ConcatRunTest, ConfirmedPassesRunToTheEnd) {
    manual({{u"A"_s, files(u"A"_s, 3, u"a"_s)}, {u"B"_s, files(u"B"_s, 3, u"b"_s)}});
    window.options[u"Option1"_s] = true;

    run.Start();

    ASSERT_EQ(window.messages.size(), 3);
    EXPECT_EQ(window.messages[1].text,
              u"2 * 2 Dateien zusammengefasst.\nNächste 2 Dateien zusammenfassen?"_s);
    expectFinished(QString());
    EXPECT_EQ(entries(u"Out"_s).size(), 3);
}

TEST_F(ConcatRunTest, EmptyDatei3WithFilledDatei4JoinsTwoFiles) {
    const QStringList a = files(u"A"_s, 1, u"a"_s);
    const QStringList b = files(u"B"_s, 1, u"b"_s);
    const QStringList d = files(u"D"_s, 1, u"d"_s);
    automatic(false);
    choose(1, u"A/a01.mp3"_s);
    choose(2, u"B/b01.mp3"_s);
    choose(4, u"D/d01.mp3"_s);

    run.Start();

    EXPECT_EQ(entries(u"Out"_s), QStringList{u"a01_b01.mp3"_s});
    EXPECT_EQ(read(u"Out/a01_b01.mp3"_s), joined({a[0], b[0]}));
    EXPECT_EQ(entries(u"D"_s), d);
}

TEST_F(ConcatRunTest, EmptySlotTwoInputAddsNoBytesNoNameButIsMoved) {
    const QStringList a = files(u"A"_s, 1, u"a"_s);
    write(u"B/b01.mp3"_s, QByteArray());
    const QStringList c = files(u"C"_s, 1, u"c"_s);
    manual({{u"A"_s, a}, {u"B"_s, {u"b01.mp3"_s}}, {u"C"_s, c}});

    run.Start();

    EXPECT_EQ(entries(u"Out"_s), QStringList{u"a01_c01.mp3"_s});
    EXPECT_EQ(read(u"Out/a01_c01.mp3"_s), joined({a[0], c[0]}));
    EXPECT_EQ(entries(u"Move"_s), (QStringList{u"a01.mp3"_s, u"b01.mp3"_s, u"c01.mp3"_s}));
}

TEST_F(ConcatRunTest, LongNamesAreShortenedInTheOutputName) {
    write(u"A/Intro.mp3"_s, "intro");
    write(u"B/A very long title.mp3"_s, "title");
    automatic(false);
    choose(1, u"A/Intro.mp3"_s);
    choose(2, u"B/A very long title.mp3"_s);

    run.Start();

    EXPECT_EQ(entries(u"Out"_s), QStringList{u"Intro_A very long...mp3"_s});
    EXPECT_EQ(read(u"Out/Intro_A very long...mp3"_s), "introtitle");
}

TEST_F(ConcatRunTest, UndecodableNamesKeepTheirBytes) {
    const QString name = u"Caf\xdce9.mp3"_s;
    write(u"A/"_s + name, "x");
    write(u"A/Zweite.mp3"_s, "y");
    choose(1, u"A/Zweite.mp3"_s);

    run.Start();

    EXPECT_EQ(entries(u"Out"_s), QStringList{u"Caf\xdce9_Zweite.mp3"_s});
    EXPECT_EQ(entries(u"Move"_s), (QStringList{name, u"Zweite.mp3"_s}));
}

TEST_F(ConcatRunTest, CancelDuringThePauseOfPassTwoLeavesItsInputsUntouched) {
    const QStringList names = files(u"A"_s, 8, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    window.duringPause = [this] {
        if (window.pauses.size() == 2)
            window.cancelled = true;
    };

    run.Start();

    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(entries(u"Out"_s), QStringList{u"t01_t02_t03_t04.mp3"_s});
    EXPECT_EQ(entries(u"Move"_s), names.mid(0, 4));
    EXPECT_EQ(entries(u"A"_s), names.mid(4));
    EXPECT_EQ(window.fields.value(u"txt_Progress"_s), u"Bearbeitung läuft!  Durchlauf Nr. 2"_s);
}

TEST_F(ConcatRunTest, StartClearsAnEarlierCancel) {
    files(u"A"_s, 2, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    window.cancelled = true;

    run.Start();

    EXPECT_EQ(entries(u"Out"_s), QStringList{u"t01_t02.mp3"_s});
}

TEST_F(ConcatRunTest, StartWithEmptyDatei2AsksForTheFiles) {
    files(u"A"_s, 2, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    window.fields[u"txt_Datei2"_s].clear();

    run.Start();

    expectOnlyMessage(u"Bitte wählen Sie die Dateien aus!"_s);
    EXPECT_EQ(window.messages.first().title, u"Fehlermeldung!"_s);
    EXPECT_EQ(window.messages.first().icon, MessageIcon::None);
    EXPECT_EQ(window.messages.first().buttons, MessageButtons::Ok);
    EXPECT_TRUE(window.pauses.isEmpty());
}

class RefusalRows;

struct RefusalRow {
    const char* name;
    std::function<void(RefusalRows&)> setUp;
    QString message; // %1 stands for the temporary root
};

class RefusalRows : public ConcatRunTest, public testing::WithParamInterface<RefusalRow> {
public:
    using ConcatRunTest::automatic;
    void chooseManually(const QStringList& relativePaths) {
        automatic(false);
        int slot = 1;
        for (const QString& relativePath : relativePaths)
            choose(slot++, relativePath);
    }
    void chooseFirstAt(const QString& fullPath) {
        window.dialogPaths.append(fullPath);
        selection.chooseSlot(1);
    }
    void type(const QString& control, const QString& text) { window.fields[control] = text; }
};

TEST_P(RefusalRows, RefusedBeforeAnyFileIsTouched) {
    files(u"A"_s, 3, u"a"_s);
    files(u"B"_s, 3, u"b"_s);
    GetParam().setUp(*this);

    run.Start();

    expectOnlyMessage(QString(GetParam().message).replace(u"%1"_s, tree.root()));
    EXPECT_EQ(window.messages.first().title, u"Fehlermeldung!"_s);
    EXPECT_TRUE(window.pauses.isEmpty());
    EXPECT_EQ(entries(u"A"_s).size(), 3);
    EXPECT_EQ(entries(u"B"_s).size(), 3);
    if (tree.exists(u"MP3/Out"_s)) {
        EXPECT_EQ(entries(u"Out"_s), QStringList());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refusal, RefusalRows,
    testing::Values(
        RefusalRow{"NoFileChosenAtTheFirstOpening", [](RefusalRows&) {},
                   u"Bitte wählen Sie die Dateien aus!"_s},
        RefusalRow{"ManualSlotWithTypedTextButNoChosenFile",
                   [](RefusalRows& test) {
                       test.chooseManually({u"A/a01.mp3"_s});
                       test.type(u"txt_Datei2"_s, u"getippt"_s);
                   },
                   u"Bitte wählen Sie die Dateien aus!"_s},
        RefusalRow{"SameDirectoryForTwoSlots",
                   [](RefusalRows& test) {
                       test.chooseManually({u"A/a01.mp3"_s, u"B/b01.mp3"_s, u"A/a02.mp3"_s});
                   },
                   u"Datei 1 und Datei 3 liegen im selben Verzeichnis:\n%1MP3/A/\n"
                   u"Bitte wählen Sie für jede Datei ein eigenes Verzeichnis aus!"_s},
        RefusalRow{"FirstInputDirectlyInTheRoot",
                   [](RefusalRows& test) {
                       test.chooseManually({u"A/a01.mp3"_s});
                       test.automatic(true);
                       test.chooseFirstAt(u"/x.mp3"_s);
                   },
                   u"Die erste Datei liegt direkt im Wurzelverzeichnis\n/\nDaneben lassen sich "
                   u"die Verzeichnisse „Out“ und „Move“ nicht anlegen. Bitte wählen Sie eine "
                   u"Datei in einem Unterverzeichnis aus!"_s}),
    [](const testing::TestParamInfo<RefusalRow>& info) { return std::string(info.param.name); });

TEST_F(ConcatRunTest, MoreThanFiveHundredFilesPerSlotDirectoryAreAllJoined) {
    manual({{u"A"_s, files(u"A"_s, 501, u"a"_s)}, {u"B"_s, files(u"B"_s, 501, u"b"_s)}});

    run.Start();

    EXPECT_EQ(entries(u"Out"_s).size(), 501);
    EXPECT_EQ(entries(u"A"_s), QStringList());
    EXPECT_EQ(entries(u"B"_s), QStringList());
    expectFinished(QString());
}

TEST_F(ConcatRunTest, MoreThanFiveHundredGroupsAreAllJoined) {
    const QStringList names = files(u"A"_s, 1003, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    window.fields[u"txt_Datei3"_s].clear();

    run.Start();

    EXPECT_EQ(entries(u"Out"_s).size(), 502);
    EXPECT_EQ(read(u"Out/t1003.mp3"_s), joined({names.last()}));
    EXPECT_EQ(entries(u"A"_s), QStringList());
}

TEST_F(ConcatRunTest, ExistingOutputIsNeverReplacedAndItsPassIsNotTouched) {
    const QStringList a = files(u"A"_s, 3, u"a"_s);
    const QStringList b = files(u"B"_s, 3, u"b"_s);
    manual({{u"A"_s, a}, {u"B"_s, b}});
    write(u"Out/a02_b02.mp3"_s, "old");

    run.Start();

    expectOnlyMessage(u"Die Ausgabedatei\n"_s + path(u"Out/a02_b02.mp3"_s) +
                      u"\ngibt es schon. Sie wird nicht überschrieben.\nDie Bearbeitung wurde "
                      u"vor Durchlauf Nr. 2 beendet; keine Datei dieses Durchlaufs wurde "
                      u"angetastet."_s);
    EXPECT_EQ(window.messages.first().icon, MessageIcon::Critical);
    EXPECT_EQ(read(u"Out/a02_b02.mp3"_s), "old");
    EXPECT_EQ(entries(u"Out"_s), (QStringList{u"a01_b01.mp3"_s, u"a02_b02.mp3"_s}));
    EXPECT_EQ(entries(u"A"_s), a.mid(1));
    EXPECT_EQ(entries(u"B"_s), b.mid(1));
    EXPECT_EQ(window.fields.value(u"txt_Progress"_s), QString());
}

TEST_F(ConcatRunTest, InputsOfTheSameNameInOnePassAreRefusedBeforeWriting) {
    write(u"CD1/01.mp3"_s, "one");
    write(u"CD2/01.mp3"_s, "two");
    automatic(false);
    choose(1, u"CD1/01.mp3"_s);
    choose(2, u"CD2/01.mp3"_s);

    run.Start();

    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages.first().text.startsWith(
        u"Zwei Eingabedateien dieses Durchlaufs müssten beide nach\n"_s + path(u"Move/01.mp3"_s)));
    EXPECT_EQ(entries(u"Out"_s), QStringList());
    EXPECT_EQ(entries(u"CD1"_s), QStringList{u"01.mp3"_s});
    EXPECT_EQ(entries(u"CD2"_s), QStringList{u"01.mp3"_s});
}

// Whatever has an input's name in "Move" stops the pass before its output
// is written: an input that could not be moved there would leave the pass
// half done.
struct TakenMoveTargetRow {
    const char* name;
    std::function<void(const QString& path)> make;
};

class TakenMoveTarget : public ConcatRunTest,
                        public testing::WithParamInterface<TakenMoveTargetRow> {};

TEST_P(TakenMoveTarget, IsRefusedBeforeWriting) {
    const QStringList names = files(u"A"_s, 2, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    GetParam().make(path(u"Move/t02.mp3"_s));

    run.Start();

    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages.first().text.startsWith(
        u"Im Verschiebeverzeichnis gibt es die Datei\n"_s + path(u"Move/t02.mp3"_s)));
    EXPECT_EQ(entries(u"Out"_s), QStringList());
    EXPECT_EQ(entries(u"A"_s), names);
    EXPECT_EQ(entries(u"Move"_s), QStringList{u"t02.mp3"_s});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TakenMoveTarget,
    testing::Values(TakenMoveTargetRow{"File",
                                       [](const QString& at) {
                                           QFile file(at);
                                           ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                                       }},
                    TakenMoveTargetRow{"Directory",
                                       [](const QString& at) {
                                           ASSERT_EQ(::mkdir(raw(at).constData(), 0755), 0);
                                       }},
                    TakenMoveTargetRow{"DanglingLink",
                                       [](const QString& at) {
                                           ASSERT_EQ(::symlink("gone", raw(at).constData()), 0);
                                       }},
                    TakenMoveTargetRow{"Fifo",
                                       [](const QString& at) {
                                           ASSERT_EQ(::mkfifo(raw(at).constData(), 0644), 0);
                                       }}),
    [](const testing::TestParamInfo<TakenMoveTargetRow>& info) { return info.param.name; });

TEST_F(ConcatRunTest, FailedMoveIntoMoveTakesThePassBackAndTheNextStartJoinsItOnce) {
    const QStringList names = files(u"A"_s, 4, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    window.fields[u"txt_Datei3"_s].clear();
    fileSystem.failMovesFrom = 3;
    fileSystem.failingMoves = 1;

    run.Start();

    expectOnlyMessage(u"Die Datei\n"_s + path(u"A/t04.mp3"_s) + u"\nkonnte nicht nach\n"_s +
                      path(u"Move/t04.mp3"_s) +
                      u"\nverschoben werden. Auf dem Datenträger ist nicht genug Platz.\nDie "
                      u"Bearbeitung wurde in Durchlauf Nr. 2 beendet. Dieser Durchlauf hat "
                      u"nichts verändert: Seine Eingabedateien liegen wieder an ihrem Platz, und "
                      u"seine Ausgabedatei ist gelöscht."_s);
    EXPECT_EQ(entries(u"Out"_s), QStringList{u"t01_t02.mp3"_s});
    EXPECT_EQ(entries(u"A"_s), names.mid(2));
    EXPECT_EQ(entries(u"Move"_s), names.mid(0, 2));

    window.messages.clear();
    run.Start();

    EXPECT_EQ(entries(u"Out"_s), (QStringList{u"t01_t02.mp3"_s, u"t03_t04.mp3"_s}));
    EXPECT_EQ(read(u"Out/t03_t04.mp3"_s), joined(names.mid(2)));
    EXPECT_EQ(entries(u"Move"_s), names);
    expectFinished(QString());
}

TEST_F(ConcatRunTest, FailedMoveWhoseInputCannotGoBackKeepsTheWrittenOutput) {
    const QStringList a = files(u"A"_s, 3, u"a"_s);
    const QStringList b = files(u"B"_s, 3, u"b"_s);
    manual({{u"A"_s, a}, {u"B"_s, b}});
    fileSystem.failMovesFrom = 3;

    run.Start();

    expectOnlyMessage(
        u"Die Datei\n"_s + path(u"B/b02.mp3"_s) + u"\nkonnte nicht nach\n"_s +
        path(u"Move/b02.mp3"_s) +
        u"\nverschoben werden. Auf dem Datenträger ist nicht genug Platz.\nDie Bearbeitung "
        u"wurde in Durchlauf Nr. 2 beendet. Die Ausgabedatei dieses Durchlaufs ist vollständig "
        u"geschrieben und bleibt, denn die Datei\n"_s +
        path(u"Move/a02.mp3"_s) +
        u"\nließ sich nicht an ihren Platz zurückverschieben. Auf dem Datenträger ist nicht "
        u"genug Platz."_s);
    EXPECT_EQ(read(u"Out/a02_b02.mp3"_s), joined({a[1], b[1]}));
    EXPECT_EQ(entries(u"Out"_s).size(), 2);
    EXPECT_EQ(entries(u"A"_s), QStringList{a[2]});
    EXPECT_EQ(entries(u"B"_s), b.mid(1));
}

TEST_F(ConcatRunTest, InputVanishedAfterTheListingStopsBeforeItsPass) {
    const QStringList a = files(u"A"_s, 2, u"a"_s);
    const QStringList b = files(u"B"_s, 2, u"b"_s);
    manual({{u"A"_s, a}, {u"B"_s, b}});
    // Gone while pass 1 waits in its pause, long after the listing.
    window.duringPause = [this] {
        if (window.pauses.size() == 1)
            ::unlink(path(u"A/a02.mp3"_s).toUtf8().constData());
    };

    run.Start();

    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages.first().text.startsWith(u"Die Datei\n"_s + path(u"A/a02.mp3"_s) +
                                                        u"\nkonnte nicht gelesen werden. Die Datei "
                                                        u"oder ihr Verzeichnis gibt es nicht."_s));
    EXPECT_EQ(entries(u"Out"_s), QStringList{u"a01_b01.mp3"_s});
    EXPECT_EQ(entries(u"B"_s), QStringList{b[1]});
}

TEST_F(ConcatRunTest, FullDiskLeavesNoOutputAndMovesNothing) {
    write(u"A/t01.mp3"_s, QByteArray(800, 'a'));
    write(u"A/t02.mp3"_s, QByteArray(800, 'b'));
    choose(1, u"A/t01.mp3"_s);
    window.duringPause = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, RLIM_INFINITY};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    };

    run.Start();

    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &unlimited), 0);
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages.first().text.startsWith(
        u"Die Ausgabedatei\n"_s + path(u"Out/t01_t02.mp3"_s) +
        u"\nkonnte nicht geschrieben werden. Auf dem Datenträger ist nicht genug Platz."_s));
    EXPECT_EQ(entries(u"Out"_s), QStringList());
    EXPECT_EQ(entries(u"A"_s), (QStringList{u"t01.mp3"_s, u"t02.mp3"_s}));
}

TEST_F(ConcatRunTest, MoveDirectoryBlockedByAFileStopsBeforeWriting) {
    files(u"A"_s, 2, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    ASSERT_EQ(::rmdir(path(u"Move"_s).toUtf8().constData()), 0);
    write(u"Move"_s, "a file");

    run.Start();

    expectOnlyMessage(u"Das Verzeichnis\n"_s + path(u"Move/"_s) +
                      u"\nlässt sich nicht anlegen oder nicht benutzen. Unter diesem Namen gibt "
                      u"es schon etwas anderes als ein Verzeichnis.\nEs wurde keine Datei "
                      u"angetastet."_s);
    EXPECT_EQ(entries(u"Out"_s), QStringList());
    EXPECT_EQ(entries(u"A"_s).size(), 2);
}

TEST_F(ConcatRunTest, DeletedWorkDirectoriesAreMadeAgain) {
    files(u"A"_s, 2, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    ASSERT_EQ(::rmdir(path(u"Out"_s).toUtf8().constData()), 0);
    ASSERT_EQ(::rmdir(path(u"Move"_s).toUtf8().constData()), 0);

    run.Start();

    EXPECT_EQ(entries(u"Out"_s), QStringList{u"t01_t02.mp3"_s});
    expectFinished(QString());
}

TEST_F(ConcatRunTest, SecondStartAndFileButtonsDuringThePauseAreRefused) {
    files(u"A"_s, 4, u"t"_s);
    choose(1, u"A/t01.mp3"_s);
    window.fields[u"txt_Datei3"_s].clear();
    const int dialogsBefore = window.dialogCalls;
    window.duringPause = [this] {
        run.Start();
        selection.chooseSlot(1);
    };

    run.Start();

    EXPECT_EQ(window.pauses.size(), 2);
    EXPECT_EQ(window.dialogCalls, dialogsBefore);
    EXPECT_EQ(entries(u"Out"_s), (QStringList{u"t01_t02.mp3"_s, u"t03_t04.mp3"_s}));
    expectFinished(QString());
    EXPECT_EQ(window.messages.size(), 1);
    EXPECT_FALSE(state.running);
}

} // namespace
