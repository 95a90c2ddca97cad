#pragma once

#include <QByteArray>
#include <QString>

// Lossless conversion between the bytes of a file name and text. Valid UTF-8
// decodes as usual; every byte that is not part of a valid sequence becomes
// the lone surrogate U+DC80 + byte, and encoding turns it back into that byte.
QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(const QString& name);
// The same into `bytes`, whose room is reused: a caller that encodes a name
// for every file of a run allocates once.
void encodeFileNameInto(QStringView name, QByteArray& bytes);
// How many bytes encodeFileName gives, counted without encoding.
qsizetype encodedFileNameSize(QStringView name);

// The name as a user should see it: undecodable bytes shown as U+FFFD.
QString displayFileName(const QString& name);
