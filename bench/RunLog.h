#pragma once

#include "core/fs/NameCodec.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The log that a rename or ID3 run writes for the names it handles.
inline QString runLogOf(const QList<QByteArray>& names) {
    QString log;
    for (const QByteArray& name : names)
        log += decodeFileName(name) + QStringLiteral("\r\n");
    return log;
}

// The log of an undo of a run that gave every name `prefix` in front: the
// earlier names, last moved first.
inline QString undoLogOf(const QList<QByteArray>& names) {
    QString log;
    for (auto name = names.crbegin(); name != names.crend(); ++name)
        log += decodeFileName(*name) + QStringLiteral("\r\n");
    return log;
}

// The log of a preview in which every name gets `prefix` in front.
inline QString previewLogOf(const QList<QByteArray>& names, const QByteArray& prefix) {
    QString log;
    for (const QByteArray& name : names)
        log += decodeFileName(name) + QStringLiteral("  ->  ") + decodeFileName(prefix + name) +
               QStringLiteral("\r\n");
    return log;
}
