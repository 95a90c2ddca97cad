#include "tests/core/concat/ConcatFixture.h"
#include "tests/support/FileSystemPlaces.h"

#include <memory>

using namespace Qt::StringLiterals;

// Concatenation with the inputs, "Out" and "Move" on FAT and exFAT through
// FUSE: file systems without a no-replace rename or hard links, whose names
// ignore case.

namespace {

std::unique_ptr<FileSystemPlaces> places;
QString skipReason;

QString rootOf(Place place) {
    return places->root(place, skipReason);
}

QByteArray bytesOf(int number) {
    QByteArray bytes(300 * 1024 + number, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + number * 31 + i / 1021) % 253);
    return bytes;
}

class ConcatOnFuse : public ConcatFixture, public testing::WithParamInterface<Place> {
public:
    static void SetUpTestSuite() { places = std::make_unique<FileSystemPlaces>(); }
    static void TearDownTestSuite() { places.reset(); }

protected:
    ConcatOnFuse() : ConcatFixture(rootOf(GetParam())) {}

    void SetUp() override {
        if (rootOf(GetParam()).isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
        for (int number = 1; number <= 8; ++number)
            write(name(number), bytesOf(number));
        choose(1, name(1));
    }

    static QString name(int number) { return u"A/t0"_s + QString::number(number) + u".mp3"_s; }

    QByteArray joined(int first, int last) const {
        QByteArray bytes;
        for (int number = first; number <= last; ++number)
            bytes += bytesOf(number);
        return bytes;
    }
};

TEST_P(ConcatOnFuse, JoinsAndMovesByteForByteLeavingNoTemporaryFile) {
    run.Start();

    EXPECT_EQ(window.messageTexts(),
              QStringList{u"Erledigt!\nAlle Dateien zusammengefasst.\n\n"_s});
    EXPECT_EQ(entries(u"Out"_s), (QStringList{u"t01_t02_t03_t04.mp3"_s, u"t05_t06_t07_t08.mp3"_s}));
    EXPECT_EQ(read(u"Out/t01_t02_t03_t04.mp3"_s), joined(1, 4));
    EXPECT_EQ(read(u"Out/t05_t06_t07_t08.mp3"_s), joined(5, 8));
    EXPECT_EQ(entries(u"A"_s), QStringList());
    EXPECT_EQ(entries(u"Move"_s).size(), 8);
    for (int number = 1; number <= 8; ++number)
        EXPECT_EQ(read(u"Move/t0"_s + QString::number(number) + u".mp3"_s), bytesOf(number));
}

// FAT and exFAT take the name in capitals for the output's own.
TEST_P(ConcatOnFuse, OutputNameTakenInOtherCaseIsNeverReplaced) {
    write(u"Out/T05_T06_T07_T08.MP3"_s, "old");

    run.Start();

    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages[0].text.startsWith(u"Die Ausgabedatei\n"_s));
    EXPECT_EQ(read(u"Out/T05_T06_T07_T08.MP3"_s), "old");
    EXPECT_EQ(entries(u"Out"_s), (QStringList{u"T05_T06_T07_T08.MP3"_s, u"t01_t02_t03_t04.mp3"_s}));
    EXPECT_EQ(read(u"Out/t01_t02_t03_t04.mp3"_s), joined(1, 4));
    EXPECT_EQ(entries(u"A"_s).size(), 4);
}

// A directory in "Move" whose name differs from an input's only in case takes
// that input's place there: the pass stops before its output is written.
TEST_P(ConcatOnFuse, MoveTargetTakenInOtherCaseByADirectoryStopsBeforeWriting) {
    tree.makeDir(u"MP3/Move/T06.MP3"_s);

    run.Start();

    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_TRUE(window.messages[0].text.startsWith(u"Im Verschiebeverzeichnis gibt es die Datei\n"_s +
                                                   path(u"Move/t06.mp3"_s)));
    EXPECT_EQ(entries(u"Out"_s), QStringList{u"t01_t02_t03_t04.mp3"_s});
    EXPECT_EQ(entries(u"A"_s).size(), 4);
}

INSTANTIATE_TEST_SUITE_P(Places, ConcatOnFuse, testing::Values(Place::Fat, Place::ExFat),
                         [](const testing::TestParamInfo<Place>& info) {
                             return std::string(nameOf(info.param));
                         });

} // namespace
