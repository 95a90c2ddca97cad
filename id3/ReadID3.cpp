#include "rename/MainPrg.h"

#include "id3/Id3v1Trailer.h"
#include "platform/FailureReason.h"
#include "platform/FileSystem.h"
#include "platform/NameCodec.h"
#include "platform/RunWindow.h"

using namespace Qt::StringLiterals;

void MainPrg::ReadID3() {
    Q_ASSERT(window_);
    RunWindow& window = *window_;
    const QString logField = u"txt_Filename"_s;
    const QString failureMessage = u"Fehler im Modul ReadID3"_s;
    forgetLastRun();

    FsResult<QStringList> listing = listFiles(SourceDir);
    if (!listing) {
        failInDirectory(failureMessage, SourceDir, listing.error());
        return;
    }
    const QStringList names = std::move(listing).value();
    window.setText(logField, QString());
    const std::unique_ptr<DirectoryTails> tails = fileSystem_.tailsIn(SourceDir);

    // Only the last tag read is kept, so its trailer is taken apart once, when
    // the run ends or stops; doing it for every file cost more than all the
    // rest of the run's own work.
    QByteArray lastTrailer;
    const auto keepLastTag = [&] {
        if (!lastTrailer.isNull())
            ID3Tag = id3v1::parse(lastTrailer);
    };
    for (qsizetype index = 0; index < names.size(); ++index) {
        CurrentName = names[index];
        logName(CurrentName);
        const FsResult<FileTail> tail = tails->readTail(CurrentName, id3v1::trailerSize);
        if (!tail) {
            keepLastTag();
            failAt(failureMessage, CurrentName, failureReason(tail.error()));
            return;
        }
        if (tail.value().fileSize < id3v1::trailerSize) {
            keepLastTag();
            failAt(failureMessage, CurrentName,
                   u"Die Datei ist kürzer als 128 Byte und kann keinen ID3v1-Tag haben."_s);
            return;
        }
        const QByteArray& trailer = tail.value().bytes;
        if (!id3v1::isTagged(trailer)) {
            keepLastTag();
            ID3Tag.Tag = trailer.first(3);
            failAt(u"Kein MP3-File"_s, CurrentName,
                   u"Die letzten 128 Byte der Datei beginnen nicht mit „TAG“."_s);
            return;
        }
        lastTrailer = trailer;
        window.showProgress(index + 1, names.size());
    }
    keepLastTag();
    CurrentName.clear();
}
