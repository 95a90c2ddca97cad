#include "core/fs/NameCodec.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char16_t escapeBase = 0xDC00; // U+DC80 + byte for bytes 0x80..0xFF

// Length of the valid UTF-8 sequence at `bytes[i]`, or 0 when it is not one.
// Overlong forms, encoded surrogates and values above U+10FFFF are invalid.
int validSequenceLength(const unsigned char* bytes, qsizetype i, qsizetype size, char32_t& point) {
    const unsigned char lead = bytes[i];
    int length;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char next = bytes[i + k];
        if ((next & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (next & 0x3F);
    }
    if (point < minimum || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return 0;
    return length;
}

// Writes the UTF-8 form of a code point and returns the position after it.
char* writeUtf8(char* out, char32_t point) {
    if (point < 0x80) {
        *out++ = char(point);
    } else if (point < 0x800) {
        *out++ = char(0xC0 | (point >> 6));
        *out++ = char(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        *out++ = char(0xE0 | (point >> 12));
        *out++ = char(0x80 | ((point >> 6) & 0x3F));
        *out++ = char(0x80 | (point & 0x3F));
    } else {
        *out++ = char(0xF0 | (point >> 18));
        *out++ = char(0x80 | ((point >> 12) & 0x3F));
        *out++ = char(0x80 | ((point >> 6) & 0x3F));
        *out++ = char(0x80 | (point & 0x3F));
    }
    return out;
}

// How many leading bytes are ASCII. Names are mostly ASCII, and runs call
// this for every name they touch, so it looks at eight bytes at a time.
qsizetype asciiPrefix(const unsigned char* bytes, qsizetype size) {
    qsizetype i = 0;
    for (quint64 word; i + 8 <= size; i += 8) {
        std::memcpy(&word, bytes + i, sizeof word);
        if (word & 0x8080808080808080u)
            break;
    }
    while (i < size && bytes[i] < 0x80)
        ++i;
    return i;
}

// The same for code units, four at a time.
qsizetype asciiPrefix(const char16_t* units, qsizetype size) {
    qsizetype i = 0;
    for (quint64 word; i + 4 <= size; i += 4) {
        std::memcpy(&word, units + i, sizeof word);
        if (word & 0xFF80FF80FF80FF80u)
            break;
    }
    while (i < size && units[i] < 0x80)
        ++i;
    return i;
}

bool isEscapedByte(char16_t unit) {
    return unit >= escapeBase + 0x80 && unit <= escapeBase + 0xFF;
}

} // namespace

QString decodeFileName(QByteArrayView bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    const qsizetype asciiEnd = asciiPrefix(data, size);
    if (asciiEnd == size)
        return QString::fromLatin1(bytes);
    // Never more code units than bytes: a sequence of n bytes gives at most
    // n units, and an escaped byte exactly one.
    QString name(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(name.data());
    for (qsizetype i = 0; i < asciiEnd; ++i)
        *out++ = data[i];
    for (qsizetype i = asciiEnd; i < size;) {
        // The ASCII between letters beyond it, eight bytes at a time.
        if (quint64 word; i + 8 <= size && (std::memcpy(&word, data + i, sizeof word),
                                            (word & 0x8080808080808080u) == 0)) {
            out = std::copy(data + i, data + i + 8, out);
            i += 8;
            continue;
        }
        if (data[i] < 0x80) {
            *out++ = data[i++];
            continue;
        }
        char32_t point = 0;
        const int length = validSequenceLength(data, i, size, point);
        if (length == 0) {
            *out++ = char16_t(escapeBase + data[i++]);
        } else if (QChar::requiresSurrogates(point)) {
            *out++ = QChar::highSurrogate(point);
            *out++ = QChar::lowSurrogate(point);
            i += length;
        } else {
            *out++ = char16_t(point);
            i += length;
        }
    }
    name.truncate(out - reinterpret_cast<const char16_t*>(name.constData()));
    return name;
}

QByteArray encodeFileName(const QString& name) {
    QByteArray bytes;
    encodeFileNameInto(name, bytes);
    return bytes;
}

void encodeFileNameInto(QStringView name, QByteArray& bytes) {
    const auto* units = reinterpret_cast<const char16_t*>(name.utf16());
    const qsizetype size = name.size();
    const qsizetype asciiEnd = asciiPrefix(units, size);
    if (asciiEnd == size) {
        bytes.resize(size);
        std::copy(units, units + size, bytes.data());
        return;
    }
    // Never more than three bytes per code unit (a pair gives four for two).
    bytes.resize(size * 3);
    char* out = bytes.data();
    for (qsizetype i = 0; i < asciiEnd; ++i)
        *out++ = char(units[i]);
    for (qsizetype i = asciiEnd; i < size; ++i) {
        // The ASCII between letters beyond it, four units at a time.
        if (quint64 word; i + 4 <= size && (std::memcpy(&word, units + i, sizeof word),
                                            (word & 0xFF80FF80FF80FF80u) == 0)) {
            out = std::copy(units + i, units + i + 4, out);
            i += 3;
            continue;
        }
        const char16_t unit = units[i];
        if (unit < 0x80) {
            *out++ = char(unit);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size &&
                   QChar::isLowSurrogate(units[i + 1])) {
            out = writeUtf8(out, QChar::surrogateToUcs4(unit, units[i + 1]));
            ++i;
        } else if (isEscapedByte(unit)) {
            *out++ = char(unit - escapeBase);
        } else {
            out = writeUtf8(out, unit);
        }
    }
    bytes.truncate(out - bytes.constData());
}

qsizetype encodedFileNameSize(QStringView name) {
    const auto* units = reinterpret_cast<const char16_t*>(name.utf16());
    const qsizetype size = name.size();
    qsizetype bytes = asciiPrefix(units, size);
    for (qsizetype i = bytes; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit < 0x80) {
            bytes += 1;
        } else if (unit < 0x800) {
            bytes += 2;
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size &&
                   QChar::isLowSurrogate(units[i + 1])) {
            bytes += 4;
            ++i;
        } else {
            bytes += isEscapedByte(unit) ? 1 : 3;
        }
    }
    return bytes;
}

QString displayFileName(const QString& name) {
    // Reading from `name` leaves `shown` shared with it unless a unit has
    // to be replaced, so the common name is not copied.
    QString shown = name;
    const auto* units = reinterpret_cast<const char16_t*>(name.utf16());
    const qsizetype size = name.size();
    qsizetype i = asciiPrefix(units, size);
    while (i < size && !QChar::isSurrogate(units[i]))
        ++i;
    for (; i < size; ++i) {
        const char16_t unit = name[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < name.size() &&
            QChar::isLowSurrogate(name[i + 1].unicode()))
            ++i;
        else if (QChar::isSurrogate(unit))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}
