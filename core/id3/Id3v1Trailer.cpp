#include "core/id3/Id3v1Trailer.h"

namespace id3v1 {

bool isTagged(const QByteArray& trailer) {
    return trailer.size() == trailerSize && trailer.startsWith("TAG");
}

ID3TagRecord parse(const QByteArray& trailer) {
    Q_ASSERT(trailer.size() == trailerSize);
    ID3TagRecord tag;
    tag.Tag = trailer.sliced(0, 3);
    tag.Title = trailer.sliced(3, 30);
    tag.Artist = trailer.sliced(33, 30);
    tag.Album = trailer.sliced(63, 30);
    tag.Year = trailer.sliced(93, 4);
    tag.Comment = trailer.sliced(97, 30);
    tag.Genre = trailer.sliced(127, 1);
    return tag;
}

} // namespace id3v1
