#pragma once

#include <QByteArray>
#include <QList>

// Input files whose every 8-byte word tells the file and the offset it
// stands at, so that a join can be checked byte for byte without keeping a
// copy of what went in. Sizes are multiples of 8. Failures to write throw
// std::runtime_error.
namespace pattern {

void writeFile(const QByteArray& path, int fileNumber, qint64 size);

// Whether the file holds the patterns of `fileNumbers`, each `size` bytes
// long, one after the other and nothing else.
bool holdsJoined(const QByteArray& path, const QList<int>& fileNumbers, qint64 size);

} // namespace pattern
