#include "core/rename/MainPrg.h"

#include "core/fs/FailureReason.h"
#include "core/fs/FileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/fs/TailsAhead.h"
#include "core/id3/Id3v1Trailer.h"
#include "core/run/RunWindow.h"

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
    TailsAhead tails(fileSystem_, SourceDir, names, id3v1::trailerSize);

    // Only the last tag read is kept, so its trailer is taken apart once, when
    // the run ends or stops; doing it for every file cost more than all the
    // rest of the run's own work.
    QByteArray lastTrailer;
    // Why the check ends early: the message and its cause.
    std::optional<std::pair<QString, QString>> stop;
    std::optional<QByteArray> untaggedStart;
    const qsizetype handled = eachFileLogged(names, [&](qsizetype index) {
        FsResult<FileTail> tail = tails.take(index);
        if (!tail) {
            stop.emplace(failureMessage, failureReason(tail.error()));
        } else if (tail.value().fileSize < id3v1::trailerSize) {
            stop.emplace(failureMessage,
                         u"Die Datei ist kürzer als 128 Byte und kann keinen ID3v1-Tag haben."_s);
        } else if (const QByteArray& trailer = tail.value().bytes; !id3v1::isTagged(trailer)) {
            untaggedStart = trailer.first(3);
            stop.emplace(u"Kein MP3-File"_s,
                         u"Die letzten 128 Byte der Datei beginnen nicht mit „TAG“."_s);
        } else {
            lastTrailer = std::move(tail).value().bytes;
        }
        return !stop;
    });
    if (!lastTrailer.isNull())
        ID3Tag = id3v1::parse(lastTrailer);
    if (untaggedStart)
        ID3Tag.Tag = *untaggedStart;
    if (stop) {
        CurrentName = names[handled - 1];
        failAt(stop->first, CurrentName, stop->second);
        return;
    }
    CurrentName.clear();
}
