#pragma once

#include "core/rename/MainPrg.h"

#include <QByteArray>

// The published ID3v1 layout: 128 bytes at the very end of a file.
namespace id3v1 {

constexpr qint64 trailerSize = 128;

// Whether the trailer begins with "TAG", exactly and in capitals.
bool isTagged(const QByteArray& trailer);

// The fields of a trailer, byte for byte; nothing is trimmed.
ID3TagRecord parse(const QByteArray& trailer);

} // namespace id3v1
