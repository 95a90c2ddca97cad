#pragma once

#include "core/fs/FsResult.h"

// One side of a copy: an open file, and the path that its failures name.
struct CopyEnd {
    int fd;
    const QString& path;
};

// Appends the bytes of `input` from its offset to its end to `output`: the
// kernel copies the `size` bytes that the input claims to have where it can,
// and a buffered copy takes over for the rest, up to the real end. Reaches
// WriteStep::BytesCopied after each piece.
FsStatus copyToEnd(const CopyEnd& input, const CopyEnd& output, qint64 size);
