#include "core/rename/MainPrg.h"

#include "core/fs/NameCodec.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TempTree.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString logField = u"txt_Filename"_s;

// 128 bytes in the published layout: "TAG", title, artist, album, year,
// comment and genre, each padded with NULs to its width.
QByteArray trailer(const QByteArray& title, const QByteArray& comment = {}, char genre = 17) {
    QByteArray bytes = "TAG";
    const auto field = [&bytes](const QByteArray& text, qsizetype width) {
        bytes += text.left(width) + QByteArray(width - std::min(text.size(), width), '\0');
    };
    field(title, 30);
    field("Artist", 30);
    field("Album", 30);
    field("1999", 4);
    field(comment, 30);
    bytes += genre;
    return bytes;
}

class ReadID3 : public testing::Test {
protected:
    ReadID3() : prg(fileSystem) {
        prg.setWindow(&window);
        prg.SourceDir = tree.dir(u"mp3"_s);
        window.fields[logField] = u"from an earlier run\r\n"_s;
    }

    QString log() const { return window.fields.value(logField); }

    TempTree tree;
    FaultyFileSystem fileSystem;
    RecordingWindow window;
    MainPrg prg;
};

TEST_F(ReadID3, KeepsTheLastTagReadByteForByte) {
    tree.writeFile(u"mp3/Track 2.mp3"_s, QByteArray(1000, 'a') + trailer("Second", "note"));
    tree.writeFile(u"mp3/Track 10.mp3"_s, QByteArray(50, 'b') + trailer("Tenth", "x y  ", 0));
    ASSERT_TRUE(prg.runOperation(u"ReadID3"_s));
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(log(), u"Track 2.mp3\r\nTrack 10.mp3\r\n"_s);
    EXPECT_EQ(prg.ID3Tag.Tag, "TAG");
    EXPECT_EQ(prg.ID3Tag.Title, "Tenth" + QByteArray(25, '\0'));
    EXPECT_EQ(prg.ID3Tag.Artist, "Artist" + QByteArray(24, '\0'));
    EXPECT_EQ(prg.ID3Tag.Year, "1999");
    EXPECT_EQ(prg.ID3Tag.Comment, "x y  " + QByteArray(25, '\0'));
    EXPECT_EQ(prg.ID3Tag.Genre, QByteArray(1, '\0'));
    EXPECT_TRUE(prg.CurrentName.isEmpty());
}

TEST_F(ReadID3, UntaggedFileOverwritesOnlyTheTagField) {
    tree.writeFile(u"mp3/a.mp3"_s, trailer("Kept"));
    tree.writeFile(u"mp3/b.mp3"_s, QByteArray(200, 'z'));
    ASSERT_TRUE(prg.runOperation(u"ReadID3"_s));
    EXPECT_EQ(window.messageTexts(), QStringList{u"Kein MP3-File"_s});
    EXPECT_EQ(window.messages[0].informativeText,
              u"Datei: b.mp3\nDie letzten 128 Byte der Datei beginnen nicht mit „TAG“."_s);
    EXPECT_EQ(prg.ID3Tag.Tag, "zzz");
    EXPECT_EQ(prg.ID3Tag.Title, "Kept" + QByteArray(26, '\0'));
    EXPECT_EQ(prg.CurrentName, u"b.mp3"_s);
}

TEST_F(ReadID3, FailuresShowTheModuleMessageAndKeepTheLog) {
    const struct {
        const char* name;
        int failReadsFrom;
        QByteArray secondFile;
        QString log;
        QString cause;
    } rows[] = {
        {"unreadable file", 1, trailer("b"), u"a.mp3\r\nb.mp3\r\n"_s,
         u"Datei: b.mp3\nDer Zugriff wurde verweigert."_s},
        {"file shorter than a trailer", -1, QByteArray(127, 'T'), u"a.mp3\r\nb.mp3\r\n"_s,
         u"Datei: b.mp3\nDie Datei ist kürzer als 128 Byte und kann keinen ID3v1-Tag haben."_s},
        {"empty file", -1, QByteArray(), u"a.mp3\r\nb.mp3\r\n"_s,
         u"Datei: b.mp3\nDie Datei ist kürzer als 128 Byte und kann keinen ID3v1-Tag haben."_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempTree files;
        prg.SourceDir = files.dir(u"mp3"_s);
        files.writeFile(u"mp3/a.mp3"_s, trailer("a"));
        files.writeFile(u"mp3/b.mp3"_s, row.secondFile);
        files.writeFile(u"mp3/c.mp3"_s, trailer("c"));
        fileSystem.reads = 0;
        fileSystem.failReadsFrom = row.failReadsFrom;
        window.messages.clear();
        prg.ID3Tag = ID3TagRecord();
        ASSERT_TRUE(prg.runOperation(u"ReadID3"_s));
        EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul ReadID3"_s});
        EXPECT_EQ(window.messages[0].title, QString());
        EXPECT_EQ(window.messages[0].icon, MessageIcon::None);
        EXPECT_EQ(window.messages[0].informativeText, row.cause);
        EXPECT_EQ(log(), row.log);
        EXPECT_EQ(prg.ID3Tag.Tag, "TAG");
        EXPECT_EQ(prg.ID3Tag.Title, "a" + QByteArray(29, '\0'));
        EXPECT_EQ(files.readFile(u"mp3/b.mp3"_s), row.secondFile);
    }
}

// Past the tails read ahead on a second thread, in its runs and the
// caller's, early (the helper then waits at its bound) and late.
TEST_F(ReadID3, StopsAtTheFirstFaultyFileAmongMany) {
    const int files = 4200;
    const auto name = [](int number) { return u"Track %1.mp3"_s.arg(number, 4, 10, QChar(u'0')); };
    for (int number = 0; number < files; ++number)
        tree.writeFile(u"mp3/"_s + name(number), trailer(QByteArray::number(number)));
    const struct {
        const char* name;
        int faulty; // -1: none
        QByteArray content;
        QString message;
    } rows[] = {
        {"all tagged", -1, {}, {}},
        {"untagged early, read ahead", 70, QByteArray(300, 'x'), u"Kein MP3-File"_s},
        {"untagged late, read ahead", 4170, QByteArray(300, 'y'), u"Kein MP3-File"_s},
        {"short, read in turn", 130, QByteArray(5, 'z'), u"Fehler im Modul ReadID3"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString faultyPath = u"mp3/"_s + name(row.faulty);
        if (row.faulty >= 0)
            tree.writeFile(faultyPath, row.content);
        window.messages.clear();
        ASSERT_TRUE(prg.runOperation(u"ReadID3"_s));
        EXPECT_EQ(window.messageTexts(),
                  row.message.isEmpty() ? QStringList() : QStringList{row.message});
        const int logged = row.faulty < 0 ? files : row.faulty + 1;
        EXPECT_EQ(log().count(u"\r\n"_s), logged);
        EXPECT_TRUE(log().endsWith(name(logged - 1) + u"\r\n"_s));
        const int lastTagged = row.faulty < 0 ? files - 1 : row.faulty - 1;
        EXPECT_EQ(prg.ID3Tag.Title, QByteArray::number(lastTagged).leftJustified(30, '\0'));
        EXPECT_EQ(prg.CurrentName, row.faulty < 0 ? QString() : name(row.faulty));
        if (row.faulty >= 0)
            tree.writeFile(faultyPath, trailer(QByteArray::number(row.faulty)));
    }
}

TEST_F(ReadID3, RemovedSourceDirectoryIsReportedAndTheLogKept) {
    prg.SourceDir = tree.root() + u"gone/"_s;
    ASSERT_TRUE(prg.runOperation(u"ReadID3"_s));
    EXPECT_EQ(window.messageTexts(), QStringList{u"Fehler im Modul ReadID3"_s});
    EXPECT_EQ(log(), u"from an earlier run\r\n"_s);
}

TEST_F(ReadID3, UndecodableNameIsReadAndLoggedReadably) {
    tree.writeFile(u"mp3/"_s + decodeFileName("Caf\xe9.mp3"), trailer("Cafe"));
    ASSERT_TRUE(prg.runOperation(u"ReadID3"_s));
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(log(), u"Caf\uFFFD.mp3\r\n"_s);
    EXPECT_EQ(prg.ID3Tag.Title, "Cafe" + QByteArray(26, '\0'));
}

TEST_F(ReadID3, NoDirectoryChosenReadsTheWorkingDirectory) {
    tree.writeFile(u"mp3/here.mp3"_s, trailer("Here"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(prg.SourceDir));
    prg.SourceDir.clear();
    ASSERT_TRUE(prg.runOperation(u"ReadID3"_s));
    QDir::setCurrent(previous);
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_EQ(log(), u"here.mp3\r\n"_s);
}

} // namespace
