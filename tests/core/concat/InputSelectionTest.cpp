#include "core/concat/HelpText.h"
#include "core/concat/WorkDirs.h"
#include "tests/core/concat/ConcatFixture.h"

using namespace Qt::StringLiterals;

namespace {

using InputSelectionTest = ConcatFixture;

TEST_F(InputSelectionTest, AutomaticModeFillsFieldsTwoToFourOnGrey) {
    window.textLog.clear();
    selection.ShowAutoMode();

    EXPECT_EQ(window.textLog, (QStringList{u"txt_Datei2 colour"_s, u"txt_Datei2=Automatisch"_s,
                                           u"txt_Datei3 colour"_s, u"txt_Datei3=Automatisch"_s,
                                           u"txt_Datei4 colour"_s, u"txt_Datei4=Automatisch"_s}));
    for (const QString& field : {u"txt_Datei2"_s, u"txt_Datei3"_s, u"txt_Datei4"_s})
        EXPECT_EQ(window.colours.value(field), FieldColour::ButtonFace);
    EXPECT_FALSE(window.fields.contains(u"txt_Datei1"_s));
}

TEST_F(InputSelectionTest, ManualModeEmptiesFieldsTwoToFourOnWhite) {
    automatic(false);

    for (const QString& field : {u"txt_Datei2"_s, u"txt_Datei3"_s, u"txt_Datei4"_s}) {
        EXPECT_EQ(window.colours.value(field), FieldColour::WindowBackground);
        EXPECT_EQ(window.fields.value(field), QString());
    }
}

TEST_F(InputSelectionTest, ChoosingSlotOneShowsItsNameAndSetsUpTheWorkDirectories) {
    write(u"Hörbuch/Teil 01.mp3"_s);
    window.textLog.clear();

    choose(1, u"Hörbuch/Teil 01.mp3"_s);

    EXPECT_EQ(state.InputPath[0], path(u"Hörbuch/Teil 01.mp3"_s));
    EXPECT_EQ(state.InputDir[0], path(u"Hörbuch/"_s));
    EXPECT_EQ(state.InputName[0], u"Teil 01.mp3"_s);
    EXPECT_EQ(state.FileExt, u".mp3"_s);
    EXPECT_EQ(state.MainDir, path(QString()));
    EXPECT_EQ(state.OutputDir, path(u"Out/"_s));
    EXPECT_EQ(state.MoveDir, path(u"Move/"_s));
    EXPECT_TRUE(tree.exists(u"MP3/Out"_s));
    EXPECT_TRUE(tree.exists(u"MP3/Move"_s));
    // The field is filled, then the mode and the directories follow.
    ASSERT_EQ(window.textLog.size(), 10);
    EXPECT_EQ(window.textLog[0], u"txt_Datei1=Teil 01.mp3"_s);
    EXPECT_EQ(window.textLog[2], u"txt_Datei2=Automatisch"_s);
    EXPECT_EQ(window.textLog[7], u"txt_MainDir="_s + workDirDisplay(state.MainDir));
    EXPECT_EQ(window.textLog[8], u"txt_OutputDir="_s + workDirDisplay(state.OutputDir));
    EXPECT_EQ(window.textLog[9], u"txt_MoveDir="_s + workDirDisplay(state.MoveDir));
    EXPECT_TRUE(window.messages.isEmpty());
}

TEST_F(InputSelectionTest, ChoosingSlotOneAgainInTheSamePlaceIsNoError) {
    write(u"A/x.mp3"_s);
    choose(1, u"A/x.mp3"_s);
    window.fields.clear();

    choose(1, u"A/x.mp3"_s);

    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(window.fields.value(u"txt_OutputDir"_s), workDirDisplay(path(u"Out/"_s)));
}

TEST_F(InputSelectionTest, ManualSlotOneChoiceEmptiesSlotTwoButKeepsItsDirectory) {
    automatic(false);
    choose(2, u"B/b.mp3"_s);
    EXPECT_EQ(window.fields.value(u"txt_Datei2"_s), u"b.mp3"_s);

    choose(1, u"A/a.mp3"_s);

    EXPECT_EQ(window.fields.value(u"txt_Datei2"_s), QString());
    EXPECT_EQ(state.InputDir[1], path(u"B/"_s));
}

TEST_F(InputSelectionTest, FileExtComesFromTheFileChosenLast) {
    automatic(false);
    choose(1, u"A/a.mp3"_s);
    choose(3, u"C/c.wave"_s);

    EXPECT_EQ(state.FileExt, u"wave"_s);
}

TEST_F(InputSelectionTest, CancelledSlotOneDialogInAutomaticModeLeavesTheSlotAsItWas) {
    choose(1, u"A/a.mp3"_s);
    window.textLog.clear();

    selection.chooseSlot(1);

    EXPECT_EQ(window.dialogCalls, 2);
    EXPECT_EQ(window.fields.value(u"txt_Datei1"_s), u"a.mp3"_s);
    EXPECT_EQ(state.InputPath[0], path(u"A/a.mp3"_s));
    EXPECT_EQ(state.InputDir[0], path(u"A/"_s));
    EXPECT_EQ(state.InputName[0], u"a.mp3"_s);
    EXPECT_EQ(state.FileExt, u".mp3"_s);
    EXPECT_TRUE(window.textLog.isEmpty());
}

TEST_F(InputSelectionTest, PathWithoutSeparatorChangesNothing) {
    window.dialogPaths.append(u"x.mp3"_s);

    EXPECT_EQ(selection.ChooseInputFile(2), std::nullopt);
    EXPECT_EQ(state.InputPath[1], QString());
    EXPECT_EQ(state.InputDir[1], QString());
    EXPECT_EQ(state.FileExt, QString());
}

TEST_F(InputSelectionTest, FirstInputInTheRootLeavesTheWorkDirectoriesAsTheyWere) {
    choose(1, u"A/a.mp3"_s);
    const QString outputDir = state.OutputDir;
    window.fields.remove(u"txt_OutputDir"_s);
    window.dialogPaths.append(u"/x.mp3"_s);

    selection.chooseSlot(1);

    EXPECT_EQ(state.InputDir[0], u"/"_s);
    EXPECT_EQ(state.OutputDir, outputDir);
    EXPECT_FALSE(window.fields.contains(u"txt_OutputDir"_s));
}

struct ParentRow {
    const char* name;
    const char16_t* directory;
    const char16_t* parent;
};

class ParentRows : public testing::TestWithParam<ParentRow> {};

TEST_P(ParentRows, IsTheDirectoryAboveTheLastSeparator) {
    EXPECT_EQ(parentDirectory(QString::fromUtf16(GetParam().directory)),
              QString::fromUtf16(GetParam().parent));
}

INSTANTIATE_TEST_SUITE_P(
    WorkDirs, ParentRows,
    testing::Values(ParentRow{"NestedDirectory", u"/Daten/MP3/", u"/Daten/"},
                    ParentRow{"DirectoryBelowTheRoot", u"/MP3/", u"/"},
                    ParentRow{"RootHasNoParent", u"/", u""},
                    ParentRow{"EmptyHasNoParent", u"", u""},
                    ParentRow{"RelativeWithoutSeparatorHasNoParent", u"MP3/", u""}),
    [](const testing::TestParamInfo<ParentRow>& info) { return std::string(info.param.name); });

TEST(WorkDirDisplay, ShowsThreeDotsAndTheLastThirtyFiveCharacters) {
    const QString forty = u"/0123456789/0123456789/0123456789/äöü56/"_s;
    ASSERT_EQ(forty.size(), 40);
    EXPECT_EQ(workDirDisplay(forty), u"..."_s + forty.right(35));
    EXPECT_EQ(workDirDisplay(forty).size(), 38);
    EXPECT_EQ(workDirDisplay(u"/MP3/"_s), u".../MP3/"_s);
}

TEST(HelpText, IsTheSevenPiecesWithLineFeedBeforeCarriageReturn) {
    const QByteArray expected =
        "Dieses Programm dient dazu, mehrere Dateien zusammenzukopieren, so dass als Ergebnis "
        "eine einzige grosse Datei ausgegeben wird.\n\r\n\rIm Automatikmodus ist hierzu "
        "lediglich die erste Inputdatei auszuw\xc3\xa4hlen und anschlie\xc3\x9f"
        "end auf START zu dr\xc3\xbc"
        "cken. Sollen weniger als 4 Dateien aneinandergef\xc3\xbcgt werden, so ist z.B. bei "
        "Datei 4 der Wert 'Automatisch' zu l\xc3\xb6schen. Im manuellen Modus sind die "
        "Inputdateien aller Eingangsverzeichnisse auszuw\xc3\xa4hlen und anschlie\xc3\x9f"
        "end der Start-Button zu dr\xc3\xbc"
        "cken.";
    const Message help = helpMessage();
    EXPECT_EQ(help.text.toUtf8(), expected);
    EXPECT_EQ(help.title, u"Information"_s);
    EXPECT_EQ(help.icon, MessageIcon::None);
    EXPECT_EQ(help.buttons, MessageButtons::Ok);
}

} // namespace
