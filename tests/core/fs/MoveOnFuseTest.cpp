#include "core/fs/FailureReason.h"
#include "core/fs/LocalFileSystem.h"
#include "core/fs/WriteSteps.h"
#include "tests/support/FileSystemPlaces.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

// FAT and exFAT through FUSE have neither a no-replace rename nor hard links.

namespace {

QList<WriteStep> stepsSeen;

void recordStep(WriteStep step) {
    stepsSeen.append(step);
}

// Records the steps the code under test passes while the scope lives.
class StepRecorder {
public:
    StepRecorder() {
        stepsSeen.clear();
        writeStepHook = &recordStep;
    }
    ~StepRecorder() { writeStepHook = nullptr; }
    StepRecorder(const StepRecorder&) = delete;
    StepRecorder& operator=(const StepRecorder&) = delete;
};

class MoveOnFuse : public TreeOnPlace {
protected:
    void SetUp() override {
        TreeOnPlace::SetUp();
        if (IsSkipped())
            return;
        tree->makeDir(u"src"_s);
        tree->makeDir(u"dst"_s);
    }

    LocalFileSystem fileSystem;
};

TEST_P(MoveOnFuse, RenamesOnTheSameDeviceWithoutACopy) {
    const QByteArray content(5 * 1024 * 1024 + 1, 'm');
    tree->writeFile(u"src/song.mp3"_s, content);
    const StepRecorder recorder;

    ASSERT_TRUE(fileSystem.moveFile(at(u"src/song.mp3"_s), at(u"dst/01 song.mp3"_s)));

    EXPECT_EQ(stepsSeen, QList<WriteStep>{WriteStep::NameReserved}) << "the move made a copy";
    EXPECT_EQ(tree->entries(u"src"_s), QStringList());
    EXPECT_EQ(tree->entries(u"dst"_s), QStringList{u"01 song.mp3"_s});
    EXPECT_EQ(tree->readFile(u"dst/01 song.mp3"_s), content);
}

TEST_P(MoveOnFuse, OntoItselfIsANoOp) {
    tree->writeFile(u"src/song.mp3"_s, "x");
    ASSERT_TRUE(fileSystem.moveFile(at(u"src/song.mp3"_s), at(u"src/song.mp3"_s)));
    ASSERT_TRUE(fileSystem.moveFile(at(u"src/song.mp3"_s), at(u"dst/../src/song.mp3"_s)));
    EXPECT_EQ(tree->entries(u"src"_s), QStringList{u"song.mp3"_s});
    EXPECT_EQ(tree->readFile(u"src/song.mp3"_s), "x");
}

// The name in other case is the file's own entry there. fusefat never
// returns from a plain rename onto it; the move is refused, as the no-replace
// rename refuses it on every case-insensitive file system.
TEST_P(MoveOnFuse, OwnNameInOtherCaseIsRefusedAndLeavesTheFile) {
    tree->writeFile(u"src/song.mp3"_s, "x");
    const FsStatus moved = fileSystem.moveFile(at(u"src/song.mp3"_s), at(u"src/Song.mp3"_s));
    ASSERT_FALSE(moved.isOk());
    EXPECT_EQ(moved.error().code, FsErrorCode::AlreadyExists);
    EXPECT_EQ(tree->entries(u"src"_s), QStringList{u"song.mp3"_s});
    EXPECT_EQ(tree->readFile(u"src/song.mp3"_s), "x");
}

// The move reserves the new name with an empty file of its own and renames
// onto it; fusefat's plain rename to a name FAT refuses would drop the file.
TEST_P(MoveOnFuse, RenamesOntoAnEmptyFileItReservedFirst) {
    tree->writeFile(u"src/a-b.mp3"_s, "source");
    QByteArray reservedContent = "never reserved";
    static std::function<void()> atReservation;
    atReservation = [&] { reservedContent = tree->readFile(u"dst/a b.mp3"_s); };
    writeStepHook = [](WriteStep step) {
        if (step == WriteStep::NameReserved)
            atReservation();
    };

    const FsStatus moved = fileSystem.moveFile(at(u"src/a-b.mp3"_s), at(u"dst/a b.mp3"_s));
    writeStepHook = nullptr;

    ASSERT_TRUE(moved.isOk());
    EXPECT_EQ(reservedContent, QByteArray());
    EXPECT_EQ(tree->entries(u"src"_s), QStringList());
    EXPECT_EQ(tree->readFile(u"dst/a b.mp3"_s), "source");
}

TEST_P(MoveOnFuse, NameTheFileSystemRefusesFailsBeforeTheFileIsTouched) {
    const QString fileSystemName = GetParam() == Place::Fat ? u"FAT"_s : u"exFAT"_s;
    for (const QString& character : QStringList{u":"_s, u"?"_s, u"*"_s, u"\""_s, u"<"_s, u">"_s,
                                                u"|"_s, u"\\"_s, QString(QChar(0x01))}) {
        SCOPED_TRACE(character.toStdString());
        for (const QString& targetDir : {u"src/"_s, u"dst/"_s}) {
            tree->writeFile(u"src/a-b.mp3"_s, "source");
            const QString refused = targetDir + u"a"_s + character + u"b.mp3"_s;

            const FsStatus moved = fileSystem.moveFile(at(u"src/a-b.mp3"_s), at(refused));

            ASSERT_FALSE(moved.isOk());
            EXPECT_EQ(moved.error().code, FsErrorCode::InvalidName);
            EXPECT_EQ(moved.error().path, at(refused));
            if (character.at(0).unicode() >= 0x20) {
                EXPECT_EQ(failureReason(moved.error()),
                          fileSystemName + u" erlaubt das Zeichen „"_s + character +
                              u"“ in Dateinamen nicht."_s);
            }
            EXPECT_EQ(tree->entries(u"src"_s), QStringList{u"a-b.mp3"_s});
            EXPECT_EQ(tree->entries(u"dst"_s), QStringList());
            EXPECT_EQ(tree->readFile(u"src/a-b.mp3"_s), "source");
        }
    }
}

struct TakenRow {
    const char* name;
    QString taken;
    QString target;
};

const TakenRow takenRows[] = {
    {"SameName", u"01 song.mp3"_s, u"01 song.mp3"_s},
    // FAT and exFAT compare names without case.
    {"NameDifferingInCase", u"01 SONG.mp3"_s, u"01 song.mp3"_s},
};

// From the same FUSE file system, and from the disk of the temporary
// directory, which makes the move a copy.
TEST_P(MoveOnFuse, NeverReplacesAFileOfTheNameOrOfItsOtherCase) {
    for (const bool fromDisk : {false, true}) {
        for (const TakenRow& row : takenRows) {
            SCOPED_TRACE(std::string(row.name) + (fromDisk ? " from disk" : ""));
            const TempTree target(tree->root());
            const TempTree disk;
            const TempTree& source = fromDisk ? disk : target;
            source.writeFile(u"song.mp3"_s, "source");
            target.writeFile(row.taken, "taken");

            const FsStatus moved =
                fileSystem.moveFile(source.root() + u"song.mp3"_s, target.root() + row.target);

            ASSERT_FALSE(moved.isOk());
            EXPECT_EQ(moved.error().code, FsErrorCode::AlreadyExists);
            EXPECT_EQ(target.readFile(row.taken), "taken");
            EXPECT_EQ(source.readFile(u"song.mp3"_s), "source");
            EXPECT_EQ(target.entries().size(), fromDisk ? 1 : 2);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Places, MoveOnFuse, testing::Values(Place::Fat, Place::ExFat),
                         [](const testing::TestParamInfo<Place>& info) {
                             return std::string(nameOf(info.param));
                         });

} // namespace
