#include "rename/MainPrg.h"

#include "id3/Id3v1Trailer.h"
#include "platform/FileSystem.h"
#include "platform/NameCodec.h"
#include "platform/RunWindow.h"

using namespace Qt::StringLiterals;

void MainPrg::ReadID3()
{
    Q_ASSERT(window_);
    RunWindow& window = *window_;
    const QString logField = u"txt_Filename"_s;
    const QString failureMessage = u"Fehler im Modul ReadID3"_s;

    FsResult<QStringList> listing = fileSystem_.listFiles(SourceDir);
    if (!listing) {
        fail(failureMessage);
        return;
    }
    const QStringList names = std::move(listing).value();
    window.setText(logField, QString());

    for (qsizetype index = 0; index < names.size(); ++index) {
        CurrentName = names[index];
        window.appendText(logField, displayFileName(CurrentName) + u"\r\n"_s);
        const FsResult<FileTail> tail = fileSystem_.readTail(SourceDir + CurrentName,
                                                             id3v1::trailerSize);
        if (!tail || tail.value().fileSize < id3v1::trailerSize) {
            fail(failureMessage);
            return;
        }
        const QByteArray& trailer = tail.value().bytes;
        ID3Tag.Tag = trailer.first(3);
        if (!id3v1::isTagged(trailer)) {
            fail(u"Kein MP3-File"_s);
            return;
        }
        ID3Tag = id3v1::parse(trailer);
        window.showProgress(index + 1, names.size());
    }
    CurrentName.clear();
}
