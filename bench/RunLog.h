#pragma once

#include "core/fs/LocalFileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/rename/PreviewText.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The log that a rename or ID3 run writes for the names it handles: bytes
// that are no UTF-8 show as U+FFFD.
inline QString runLogOf(const QList<QByteArray>& names) {
    QString log;
    for (const QByteArray& name : names)
        log += displayFileName(decodeFileName(name)) + QStringLiteral("\r\n");
    return log;
}

// The log of an undo that gives `names` back, the last moved first.
inline QString undoLogOf(const QList<QByteArray>& names) {
    QString log;
    for (auto name = names.crbegin(); name != names.crend(); ++name)
        log += displayFileName(decodeFileName(*name)) + QStringLiteral("\r\n");
    return log;
}

// The log of a preview from `source` into `target` in which every name gets
// `prefix` in front, below the heading of the two directories.
inline QString previewLogOf(const QString& source, const QString& target,
                            const QList<QByteArray>& names, const QByteArray& prefix) {
    QString log = previewHeading(source, target, LocalFileSystem().targetRules(target));
    for (const QByteArray& name : names)
        log += displayFileName(decodeFileName(name)) + QStringLiteral("  ->  ") +
               displayFileName(decodeFileName(prefix + name)) + QStringLiteral("\r\n");
    return log;
}
