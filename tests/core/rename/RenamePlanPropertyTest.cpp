// Random trees of names and parameters for every rename operation, on every
// file system the tests can mount: the preview predicts the run (every new
// name, the file where it stops and why), and undo gives back the tree as
// it was.
#include "core/rename/MainPrg.h"

#include "core/fs/NameCodec.h"
#include "core/fs/NaturalOrder.h"
#include "core/rename/RenameOperation.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/FileSystemPlaces.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TempTree.h"

#include <QMap>
#include <QSet>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <random>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

const QString logField = u"txt_Filename"_s;
const QString arrow = u"  ->  "_s;
const QString moveBackPrefix = u"MoveBack: "_s;

// Random trees per operation: over 500 per file system, fewer where FUSE
// makes each call slow.
int scenariosPerOperation(Place place) {
    return place == Place::Disk || place == Place::Tmpfs ? 150 : 72;
}

// What the preview's heading says of the target after its path; none where
// it depends on the machine (the disk of the temporary directory).
std::optional<QString> targetTraits(Place place) {
    const QString sensitive = u"Groß-/Kleinschreibung unterschieden"_s;
    const QString insensitive = u"Groß-/Kleinschreibung gleich"_s;
    switch (place) {
    case Place::Disk:
        return std::nullopt;
    case Place::Tmpfs:
        return u"tmpfs, "_s + sensitive;
    case Place::Fat:
        return u"FAT, "_s + insensitive;
    case Place::ExFat:
        return u"exFAT, "_s + insensitive;
    case Place::CaseFoldedExt4:
        return u"ext4, "_s + insensitive;
    }
    return std::nullopt;
}

// Creates a file where the file system takes its name and nothing of that
// name (in any case it ignores) is there yet; the drive decides.
bool createFile(const TempTree& tree, const QString& relativePath, const QByteArray& bytes) {
    const int fd = ::open(encodeFileName(tree.root() + relativePath).constData(),
                          O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    EXPECT_TRUE(written) << relativePath.toStdString();
    return true;
}

// Where every file is: "src/name" or "dst/name" -> bytes; a directory is
// marked by its own bytes. Each file's bytes say which file it was at first.
using Tree = QMap<QString, QByteArray>;
const QByteArray directoryMark = "<directory>";

Tree snapshot(const TempTree& tree, bool inPlace) {
    Tree all;
    for (const QString& dir : inPlace ? QStringList{u"src"_s} : QStringList{u"src"_s, u"dst"_s}) {
        for (const QString& name : tree.entries(dir)) {
            const QString path = dir + u'/' + name;
            all.insert(path,
                       QFileInfo(tree.root() + path).isDir() ? directoryMark : tree.readFile(path));
        }
    }
    return all;
}

template <typename T> const T& pick(std::mt19937& random, const QList<T>& choices) {
    return choices[std::uniform_int_distribution<qsizetype>(0, choices.size() - 1)(random)];
}

bool chance(std::mt19937& random, int percent) {
    return std::uniform_int_distribution<int>(0, 99)(random) < percent;
}

// Names from a few pieces, so that new names often meet old ones: chains,
// swaps, collisions, duplicates, names too short, names that become hidden,
// names in other case, names near the longest a drive takes (bytes on Linux,
// UTF-16 units on FAT and exFAT).
QString randomName(std::mt19937& random) {
    static const QList<QString> prefixes = {u""_s, u"01 "_s, u"02 "_s, u"03 "_s, u"1"_s};
    static const QList<QString> longPrefixes = {QString(240, u'y'), QString(200, u'é')};
    static const QList<QString> pieces = {u"a"_s, u"b"_s, u" - "_s, u"x"_s, u"B"_s, u"ä"_s, u"Ä"_s};
    static const QList<QString> extensions = {u".mp3"_s, u".MP3"_s, u""_s, u".ogg"_s};
    QString name = chance(random, 8) ? pick(random, longPrefixes) : pick(random, prefixes);
    const int count = std::uniform_int_distribution<int>(1, 3)(random);
    for (int piece = 0; piece < count; ++piece)
        name += pick(random, pieces);
    return name + pick(random, extensions);
}

QStringList randomNames(std::mt19937& random, int most) {
    QStringList names;
    const int count = std::uniform_int_distribution<int>(0, most)(random);
    for (int index = 0; index < count; ++index) {
        const QString name = randomName(random);
        if (!names.contains(name) && !name.startsWith(u'.'))
            names.append(name);
    }
    return names;
}

struct Parameters {
    QString search;
    QString step;
    bool option = false;
};

Parameters randomParameters(std::mt19937& random, const QString& key) {
    const RenameOperation& operation = renameOperation(key);
    switch (operation.parameters) {
    case RenameParameters::SearchTextOnly:
        if (key == u"AddText"_s)
            return {pick(random, QList{u"_1"_s, u"x"_s, u""_s, u"/"_s, u"a - b"_s, u"ä"_s, u"?"_s}),
                    {},
                    false};
        return {pick(random, QList{u" - "_s, u"a"_s, u"b"_s, u"x"_s, u""_s, u"ä"_s}), {}, false};
    case RenameParameters::CharacterCount:
        return {pick(random, QList{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"6"_s, u"-1"_s, u"40000"_s}),
                {},
                false};
    case RenameParameters::Replacement:
        return {pick(random, QList{u"a"_s, u"b"_s, u" - "_s, u"0"_s, u"ä"_s}),
                pick(random,
                     QList{u"b"_s, u"a"_s, u""_s, u"ab"_s, u"/"_s, u"A"_s, u"B"_s, u"Ä"_s, u":"_s}),
                chance(random, 40)};
    case RenameParameters::Numbering:
        return {pick(random, QList{u"1"_s, u"2"_s, u"001"_s, u"32766"_s, u"-3"_s}),
                pick(random, QList{u"1"_s, u"0"_s, u"-1"_s, u"2"_s}), chance(random, 50)};
    }
    return {};
}

// What the preview said the run would do.
struct Prediction {
    QList<std::pair<QString, QString>> renamed; // listed name -> new name, in listing order
    QStringList listed;
    std::optional<std::pair<QString, QString>> stop; // file, reason
    std::optional<std::pair<QString, QString>> moveBackStop;
    std::optional<QString> beforeFirstFile; // a fault that ends the run before any file
};

Prediction readPreview(const QString& log) {
    Prediction said;
    QStringList lines = log.split(u"\r\n"_s);
    EXPECT_TRUE(lines.takeLast().isEmpty()) << "every line ends with CR LF";
    // The heading of source and target.
    lines.remove(0, std::min<qsizetype>(2, lines.size()));
    for (const QString& line : lines) {
        if (line.startsWith(u"Hinweis: "_s))
            continue;
        if (line.startsWith(u"(Fehler: "_s)) {
            said.beforeFirstFile = line;
            continue;
        }
        if (line.startsWith(moveBackPrefix)) {
            const QString rest = line.mid(moveBackPrefix.size());
            if (const qsizetype at = rest.indexOf(arrow + u"(Fehler: "_s); at >= 0)
                said.moveBackStop =
                    std::pair(rest.left(at), rest.mid(at + arrow.size() + 9).chopped(1));
            continue;
        }
        const qsizetype at = line.indexOf(arrow);
        EXPECT_GE(at, 0) << line.toStdString();
        const QString old = line.left(at);
        const QString result = line.mid(at + arrow.size());
        said.listed.append(old);
        const QString afterwards = u"  (danach Fehler: "_s;
        if (result.startsWith(u"(Fehler: "_s)) {
            said.stop = std::pair(old, result.mid(9).chopped(1));
        } else if (result.startsWith(u"(bleibt"_s)) {
        } else if (const qsizetype then = result.indexOf(afterwards); then >= 0) {
            said.renamed.append({old, result.left(then)});
            said.stop = std::pair(old, result.mid(then + afterwards.size()).chopped(1));
        } else {
            said.renamed.append({old, result});
        }
    }
    return said;
}

// The tree the prediction leads to, from the tree before the run.
Tree predictedTree(const Tree& before, const Prediction& said, bool inPlace, bool moveBack) {
    Tree after = before;
    const QString targetDir = inPlace ? u"src/"_s : u"dst/"_s;
    // In place the new names can be each other's old names: take all out first.
    QList<std::pair<QString, QByteArray>> moving;
    for (const auto& [old, newName] : said.renamed)
        moving.append({targetDir + newName, after.take(u"src/"_s + old)});
    for (const auto& [path, bytes] : moving) {
        EXPECT_FALSE(after.contains(path)) << "the preview replaces " << path.toStdString();
        after.insert(path, bytes);
    }
    if (!moveBack || inPlace || said.stop || said.beforeFirstFile)
        return after;
    QStringList inTarget;
    for (auto entry = after.cbegin(); entry != after.cend(); ++entry)
        if (entry.key().startsWith(u"dst/"_s) && entry.value() != directoryMark)
            inTarget.append(entry.key().mid(4));
    sortNaturally(inTarget);
    for (const QString& name : inTarget) {
        if (said.moveBackStop && said.moveBackStop->first == name)
            break;
        after.insert(u"src/"_s + name, after.take(u"dst/"_s + name));
    }
    return after;
}

class PlanProperties : public PlacesSuite,
                       public testing::WithParamInterface<std::tuple<Place, const char16_t*>> {
protected:
    void SetUp() override {
        QString skipReason;
        root_ = placeRoot(place(), skipReason);
        if (root_.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
    }

    struct Scenario {
        explicit Scenario(const QString& root) : tree(root) {}

        TempTree tree;
        FaultyFileSystem fileSystem;
        RecordingWindow window;
        MainPrg prg{fileSystem};
        bool inPlace = false;
        bool moveBack = false;
        Tree before;
    };

    void setUp(Scenario& scene, std::mt19937& random) {
        scene.inPlace = chance(random, 40);
        scene.moveBack = chance(random, 40);
        scene.prg.setWindow(&scene.window);
        scene.prg.CurrentOperation = key();
        scene.prg.SourceDir = scene.tree.dir(u"src"_s);
        scene.prg.TargetDir = scene.inPlace ? scene.prg.SourceDir : scene.tree.dir(u"dst"_s);
        for (const QString& name : randomNames(random, 7))
            createFile(scene.tree, u"src/"_s + name, "src:" + name.toUtf8());
        if (!scene.inPlace) {
            for (const QString& name : randomNames(random, 3))
                createFile(scene.tree, u"dst/"_s + name, "dst:" + name.toUtf8());
        }
        if (chance(random, 20))
            createFile(scene.tree, u"src/.hidden"_s, "hidden");
        if (chance(random, 20))
            ::mkdir(encodeFileName(scene.tree.root() + u"src/"_s + randomName(random)).constData(),
                    0755);
        const Parameters parameters = randomParameters(random, key());
        scene.window.fields[u"txt_Suchstring"_s] = parameters.search;
        scene.window.fields[u"txt_Step"_s] = parameters.step;
        scene.window.ticks[u"chk_Leerz"_s] = parameters.option;
        scene.window.ticks[u"chk_MoveBack"_s] = scene.moveBack;
        if (scene.inPlace && chance(random, 70))
            addFilesUnderNewNames(scene, random);
        scene.before = snapshot(scene.tree, scene.inPlace);
    }

    // Files under some of the names others would get, so that renames in
    // place form chains and, where the rule is its own inverse, cycles.
    void addFilesUnderNewNames(Scenario& scene, std::mt19937& random) {
        scene.prg.previewOperation(key());
        for (const auto& [old, newName] : readPreview(scene.window.fields.value(logField)).renamed)
            if (newName != old && chance(random, 60))
                createFile(scene.tree, u"src/"_s + newName, "src:" + newName.toUtf8());
        scene.window.fields.remove(logField);
    }

    Place place() const { return std::get<Place>(GetParam()); }
    QString key() const { return QString::fromUtf16(std::get<const char16_t*>(GetParam())); }
    QString failureMessage() const { return renameOperation(key()).failureMessage; }

    // The run's failure box, if it showed one.
    std::optional<Message> failureBox(const RecordingWindow& window) const {
        for (const Message& message : window.messages)
            if (message.text != u"Keine verwendbare Zeichenzahl angegeben"_s)
                return message;
        return std::nullopt;
    }

    // The heading names both directories as they were chosen, which are
    // absolute here, and the target's file system.
    void expectHeading(const QString& preview, const Scenario& scene) const {
        const QStringList lines = preview.split(u"\r\n"_s);
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines[0], u"Quelle: "_s + scene.prg.SourceDir);
        const QString target = u"Ziel: "_s + scene.prg.TargetDir + u" ("_s;
        EXPECT_TRUE(lines[1].startsWith(target)) << lines[1].toStdString();
        if (const std::optional<QString> traits = targetTraits(place())) {
            EXPECT_EQ(lines[1], target + *traits + u')');
        } else {
            EXPECT_TRUE(lines[1].endsWith(u"Groß-/Kleinschreibung unterschieden)"_s));
        }
    }

    QString root_;
};

// Renames in place whose new name is the old name of another moving file.
int chainedRenames(const Prediction& said) {
    QSet<QString> old;
    for (const auto& [from, to] : said.renamed)
        old.insert(from);
    int chained = 0;
    for (const auto& [from, to] : said.renamed)
        chained += to != from && old.contains(to);
    return chained;
}

TEST_P(PlanProperties, previewPredictsTheRunAndUndoRestoresTheTree) {
    int chained = 0;
    for (int seed = 0; seed < scenariosPerOperation(place()); ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed * 7919u + 17);
        Scenario scene(root_);
        setUp(scene, random);

        ASSERT_TRUE(scene.prg.previewOperation(key()));
        EXPECT_TRUE(scene.window.messages.isEmpty()) << "the preview shows no box";
        EXPECT_EQ(snapshot(scene.tree, scene.inPlace), scene.before) << "the preview moves nothing";
        const QString preview = scene.window.fields.value(logField);
        const Prediction said = readPreview(preview);
        SCOPED_TRACE(preview.toStdString());
        expectHeading(preview, scene);
        if (scene.inPlace)
            chained += chainedRenames(said);

        ASSERT_TRUE(scene.prg.runOperation(key()));
        const Tree after = snapshot(scene.tree, scene.inPlace);
        EXPECT_EQ(after, predictedTree(scene.before, said, scene.inPlace, scene.moveBack));

        const std::optional<Message> box = failureBox(scene.window);
        if (said.beforeFirstFile) {
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(after, scene.before);
        } else if (said.stop) {
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(box->text, failureMessage());
            EXPECT_EQ(box->informativeText,
                      u"Datei: "_s + said.stop->first + u'\n' + said.stop->second);
            EXPECT_TRUE(scene.window.fields.value(logField).endsWith(said.stop->first + u"\r\n"_s));
        } else if (said.moveBackStop) {
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(box->informativeText,
                      u"Datei: "_s + said.moveBackStop->first + u'\n' + said.moveBackStop->second);
        } else {
            EXPECT_FALSE(box.has_value()) << box->informativeText.toStdString();
            QString log;
            for (const QString& name : said.listed)
                log += name + u"\r\n"_s;
            EXPECT_EQ(scene.window.fields.value(logField), log);
        }

        // A run whose MoveBack brought every file home has still moved them.
        if (after != scene.before) {
            EXPECT_TRUE(scene.prg.canUndo());
        }
        scene.prg.undoLastRun();
        EXPECT_EQ(snapshot(scene.tree, scene.inPlace), scene.before) << "undo restores the tree";
        EXPECT_FALSE(scene.prg.canUndo());
    }
    // The trees are made alike on every file system; where most are made,
    // they hold chains of names for every operation.
    if (place() == Place::Disk) {
        EXPECT_GT(chained, 0) << "no scenario renamed a file in place onto another's old name";
    }
}

TEST_P(PlanProperties, undoAfterAMoveThatFailedHalfWayRestoresTheTree) {
    for (int seed = 0; seed < scenariosPerOperation(place()) / 3; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed * 104729u + 3);
        Scenario scene(root_);
        setUp(scene, random);
        scene.fileSystem.failMovesFrom = std::uniform_int_distribution<int>(0, 6)(random);

        ASSERT_TRUE(scene.prg.runOperation(key()));
        scene.fileSystem.failMovesFrom = -1;
        scene.prg.undoLastRun();
        EXPECT_EQ(snapshot(scene.tree, scene.inPlace), scene.before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperation, PlanProperties,
    testing::Combine(
        testing::Values(Place::Disk, Place::Tmpfs, Place::Fat, Place::ExFat, Place::CaseFoldedExt4),
        testing::Values(u"ChangeFilename", u"CutandNumber", u"ChangeString", u"AddNumber",
                        u"CutNameFirst", u"CutNameLast", u"CutNameStringLast", u"AddText")),
    [](const auto& info) {
        return std::string(nameOf(std::get<Place>(info.param))) + '_' +
               QString::fromUtf16(std::get<const char16_t*>(info.param)).toStdString();
    });

// A directory made read-only by a bind mount onto itself while the object lives.
class ReadOnlyBind {
public:
    explicit ReadOnlyBind(const QString& directory) : path_(encodeFileName(directory)) {
        mounted_ = ::mount(path_.constData(), path_.constData(), nullptr, MS_BIND, nullptr) == 0;
        EXPECT_TRUE(mounted_) << "mount --bind failed: " << std::strerror(errno);
        EXPECT_TRUE(mounted_ && ::mount(nullptr, path_.constData(), nullptr,
                                        MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0)
            << "remount read-only failed: " << std::strerror(errno);
    }
    ~ReadOnlyBind() {
        if (mounted_) {
            EXPECT_EQ(::umount2(path_.constData(), MNT_DETACH), 0);
        }
    }
    ReadOnlyBind(const ReadOnlyBind&) = delete;
    ReadOnlyBind& operator=(const ReadOnlyBind&) = delete;

private:
    QByteArray path_;
    bool mounted_ = false;
};

enum class ReadOnly { Neither, Target, Source };

struct StopRow {
    const char* name;
    Place place;
    ReadOnly readOnly;
    bool inPlace;
    QString operation;
    Parameters parameters;
    QStringList sourceFiles; // in natural order
    QStringList targetFiles;
    QString stoppingFile;
    QString cause;
    QStringList targetAfter; // sorted by bytes
};

void PrintTo(const StopRow& row, std::ostream* out) {
    *out << row.name;
}

class TargetRefusal : public PlacesSuite, public testing::WithParamInterface<StopRow> {};

// What the target refuses shows in the preview on the file where the run
// then stops, with the cause the run gives; the files before it have moved.
TEST_P(TargetRefusal, previewNamesTheFileAndTheCauseWhereTheRunStops) {
    const StopRow& row = GetParam();
    QString skipReason;
    const QString root = placeRoot(row.place, skipReason);
    if (root.isEmpty())
        GTEST_SKIP() << skipReason.toStdString();
    if (row.readOnly != ReadOnly::Neither && ::geteuid() != 0)
        GTEST_SKIP() << "a read-only bind mount needs root";
    const TempTree tree(root);
    FaultyFileSystem fileSystem;
    RecordingWindow window;
    MainPrg prg{fileSystem};
    prg.setWindow(&window);
    prg.SourceDir = tree.dir(u"src"_s);
    prg.TargetDir = row.inPlace ? prg.SourceDir : tree.dir(u"dst"_s);
    for (const QString& name : row.sourceFiles)
        ASSERT_TRUE(createFile(tree, u"src/"_s + name, name.toUtf8()));
    for (const QString& name : row.targetFiles)
        ASSERT_TRUE(createFile(tree, u"dst/"_s + name, name.toUtf8()));
    std::optional<ReadOnlyBind> readOnly;
    if (row.readOnly != ReadOnly::Neither)
        readOnly.emplace(row.readOnly == ReadOnly::Source ? prg.SourceDir : prg.TargetDir);
    window.fields[u"txt_Suchstring"_s] = row.parameters.search;
    window.fields[u"txt_Step"_s] = row.parameters.step;
    window.ticks[u"chk_Leerz"_s] = row.parameters.option;

    ASSERT_TRUE(prg.previewOperation(row.operation));
    const Prediction said = readPreview(window.fields.value(logField));
    ASSERT_TRUE(prg.runOperation(row.operation));

    EXPECT_EQ(said.stop, std::pair(row.stoppingFile, row.cause));
    ASSERT_EQ(window.messages.size(), 1);
    EXPECT_EQ(window.messages[0].informativeText,
              u"Datei: "_s + row.stoppingFile + u'\n' + row.cause);
    const QString targetDir = row.inPlace ? u"src"_s : u"dst"_s;
    EXPECT_EQ(tree.entries(targetDir), row.targetAfter);
}

const QString live = u" (Live in der Stadthalle)"_s;
const QString readOnlyTarget =
    u"Das Zielverzeichnis liegt auf einem schreibgeschützten Datenträger."_s;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, TargetRefusal, testing::Values(
    // 237 bytes in 122 characters, and 25 more.
    StopRow{"NameTooLongInBytesOnDisk", Place::Disk, ReadOnly::Neither, false, u"AddText"_s, {live, {}, false},
            {u"01 Titel.mp3"_s, u"02 "_s + QString(115, u'ä') + u".mp3"_s, u"03 Titel.mp3"_s}, {},
            u"02 "_s + QString(115, u'ä') + u".mp3"_s, u"Der Name ist für dieses Laufwerk zu lang."_s,
            {u"01 Titel"_s + live + u".mp3"_s}},
    // 407 bytes in 207 UTF-16 units fit, 262 units do not.
    StopRow{"NameTooLongInUtf16UnitsOnExFat", Place::ExFat, ReadOnly::Neither, false, u"AddText"_s, {live, {}, false},
            {u"01 "_s + QString(200, u'é') + u".mp3"_s, u"02 "_s + QString(230, u'é') + u".mp3"_s}, {},
            u"02 "_s + QString(230, u'é') + u".mp3"_s, u"Der Name ist für dieses Laufwerk zu lang."_s,
            {u"01 "_s + QString(200, u'é') + live + u".mp3"_s}},
    StopRow{"CharacterFatRefuses", Place::Fat, ReadOnly::Neither, false, u"ChangeString"_s, {u"-"_s, u":"_s, false},
            {u"01 Titel.mp3"_s, u"02 Titel-Live.mp3"_s, u"03 Titel.mp3"_s}, {},
            u"02 Titel-Live.mp3"_s, u"FAT erlaubt das Zeichen „:“ in Dateinamen nicht."_s,
            {u"01 Titel.mp3"_s}},
    StopRow{"NameTakenInOtherCaseOnFat", Place::Fat, ReadOnly::Neither, false, u"AddNumber"_s, {u"1"_s, u"1"_s, true},
            {u"Titel A.mp3"_s, u"Titel B.mp3"_s}, {u"02 TITEL B.mp3"_s},
            u"Titel B.mp3"_s, u"Im Zielverzeichnis gibt es diesen Namen schon in anderer Groß-/Kleinschreibung."_s,
            {u"01 Titel A.mp3"_s, u"02 TITEL B.mp3"_s}},
    StopRow{"ReadOnlyTarget", Place::Disk, ReadOnly::Target, false, u"AddText"_s, {u"_x"_s, {}, false},
            {u"01 a.mp3"_s, u"02 b.mp3"_s}, {}, u"01 a.mp3"_s, readOnlyTarget, {}},
    // The first file keeps its name and is not moved.
    StopRow{"ReadOnlyInPlaceStopsAtTheFirstFileThatMoves", Place::Tmpfs, ReadOnly::Target, true, u"ChangeString"_s, {u"b"_s, u"c"_s, false},
            {u"01 a.mp3"_s, u"02 b.mp3"_s}, {}, u"02 b.mp3"_s, readOnlyTarget,
            {u"01 a.mp3"_s, u"02 b.mp3"_s}},
    StopRow{"ReadOnlySource", Place::Disk, ReadOnly::Source, false, u"AddText"_s, {u"_x"_s, {}, false},
            {u"01 a.mp3"_s}, {}, u"01 a.mp3"_s,
            u"Das Quellverzeichnis liegt auf einem schreibgeschützten Datenträger."_s, {}}),
    [](const testing::TestParamInfo<StopRow>& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
