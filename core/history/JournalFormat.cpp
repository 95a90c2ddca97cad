#include "core/history/JournalFormat.h"

#include <QSysInfo>
#include <QtEndian>

#include <cstring>

#include <zlib.h>

namespace journal {

namespace {

// More than any run writes in one record; a larger length is damage.
constexpr quint32 longestRecord = 256 * 1024 * 1024;

void appendLittleEndian(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray preamble() {
    QByteArray bytes(magic, magicSize);
    appendLittleEndian(bytes, version);
    return bytes;
}

quint32 checksumOf(QByteArrayView length, QByteArrayView body) {
    uLong crc = ::crc32_z(0, nullptr, 0);
    crc = ::crc32_z(crc, reinterpret_cast<const Bytef*>(length.data()), size_t(length.size()));
    crc = ::crc32_z(crc, reinterpret_cast<const Bytef*>(body.data()), size_t(body.size()));
    return quint32(crc);
}

Frame readFrame(QByteArrayView frame) {
    return {qFromLittleEndian<quint32>(frame.data()), qFromLittleEndian<quint32>(frame.data() + 4)};
}

void appendRecord(QByteArray& out, RecordType type, QByteArrayView payload) {
    const qsizetype start = out.size();
    appendLittleEndian(out, quint32(payload.size() + 1));
    appendLittleEndian(out, 0);
    out.append(char(type));
    out.append(payload);
    // The checksum covers the length and the body, not itself.
    const QByteArrayView written(out);
    qToLittleEndian(checksumOf(written.sliced(start, 4), written.sliced(start + frameSize)),
                    out.data() + start + 4);
}

void PayloadWriter::text(QByteArrayView value) {
    number(quint64(value.size()));
    raw(value);
}

void PayloadWriter::name(QStringView value) {
    number(quint64(value.size()));
    // An empty view may point nowhere, which memcpy must not be given.
    if (value.isEmpty())
        return;
    const size_t start = bytes_.size();
    bytes_.resize(start + size_t(2 * value.size()));
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian)
        std::memcpy(bytes_.data() + start, value.utf16(), size_t(2 * value.size()));
    else
        qToLittleEndian<char16_t>(value.utf16(), value.size(), bytes_.data() + start);
}

quint8 PayloadReader::byte() {
    if (failed_ || position_ >= bytes_.size()) {
        failed_ = true;
        return 0;
    }
    return quint8(bytes_[position_++]);
}

quint64 PayloadReader::number() {
    quint64 value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const quint8 next = byte();
        if (failed_)
            return 0;
        value |= quint64(next & 0x7f) << shift;
        if (!(next & 0x80))
            return value;
    }
    failed_ = true;
    return 0;
}

QByteArrayView PayloadReader::text() {
    return raw(qsizetype(number()));
}

QByteArrayView PayloadReader::nameUnits() {
    const quint64 units = number();
    if (units > quint64(bytes_.size()))
        failed_ = true;
    return raw(qsizetype(2 * units));
}

QString PayloadReader::name() {
    const QByteArrayView units = nameUnits();
    QString value(units.size() / 2, Qt::Uninitialized);
    copyUnits(units, value.data());
    return value;
}

void copyUnits(QByteArrayView units, QChar* out) {
    qFromLittleEndian<char16_t>(units.data(), units.size() / 2, out);
}

QByteArrayView PayloadReader::raw(qsizetype size) {
    if (failed_ || size < 0 || size > bytes_.size() - position_) {
        failed_ = true;
        return {};
    }
    const QByteArrayView part = bytes_.sliced(position_, size);
    position_ += size;
    return part;
}

SplitJournal splitRecords(QByteArrayView file) {
    SplitJournal split;
    // Made, and killed before its first write: nothing was moved.
    if (file.isEmpty())
        return split;
    if (file.size() < preambleSize || file.first(magicSize) != QByteArrayView(magic, magicSize)) {
        split.soundness = Soundness::Damaged;
        return split;
    }
    split.version = qFromLittleEndian<quint32>(file.data() + magicSize);
    if (split.version != version) {
        split.soundness = Soundness::OtherVersion;
        return split;
    }
    qsizetype position = preambleSize;
    split.soundEnd = position;
    while (position < file.size()) {
        // A record that runs past the end was being written when the
        // process ended: the end of the journal.
        if (file.size() - position < frameSize)
            break;
        const Frame frame = readFrame(file.sliced(position, frameSize));
        if (frame.length == 0 || frame.length > longestRecord) {
            split.soundness = Soundness::Damaged;
            break;
        }
        const qsizetype end = position + frameSize + qsizetype(frame.length);
        if (end > file.size())
            break;
        if (checksumOf(file.sliced(position, 4), file.sliced(position + frameSize, frame.length)) !=
            frame.checksum) {
            // Only the last record can have been cut short; damage anywhere
            // before it means the records after it cannot be trusted.
            if (end != file.size())
                split.soundness = Soundness::Damaged;
            break;
        }
        split.records.append({RecordType(quint8(file[position + frameSize])),
                              file.sliced(position + frameSize + 1, frame.length - 1)});
        position = end;
        split.soundEnd = position;
    }
    if (!split.records.isEmpty() && split.records.first().type != RecordType::Header)
        split.soundness = Soundness::Damaged;
    return split;
}

} // namespace journal
