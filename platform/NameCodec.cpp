#include "platform/NameCodec.h"

namespace {

constexpr char16_t escapeBase = 0xDC00; // U+DC80 + byte for bytes 0x80..0xFF

// Length of the valid UTF-8 sequence at `bytes[i]`, or 0 when it is not one.
// Overlong forms, encoded surrogates and values above U+10FFFF are invalid.
int validSequenceLength(const unsigned char* bytes, qsizetype i, qsizetype size, char32_t& point)
{
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

void appendUtf8(QByteArray& out, char32_t point)
{
    if (point < 0x80) {
        out.append(char(point));
    } else if (point < 0x800) {
        out.append(char(0xC0 | (point >> 6)));
        out.append(char(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out.append(char(0xE0 | (point >> 12)));
        out.append(char(0x80 | ((point >> 6) & 0x3F)));
        out.append(char(0x80 | (point & 0x3F)));
    } else {
        out.append(char(0xF0 | (point >> 18)));
        out.append(char(0x80 | ((point >> 12) & 0x3F)));
        out.append(char(0x80 | ((point >> 6) & 0x3F)));
        out.append(char(0x80 | (point & 0x3F)));
    }
}

bool isEscapedByte(char16_t unit)
{
    return unit >= escapeBase + 0x80 && unit <= escapeBase + 0xFF;
}

} // namespace

QString decodeFileName(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype asciiEnd = 0;
    while (asciiEnd < size && data[asciiEnd] < 0x80)
        ++asciiEnd;
    if (asciiEnd == size)
        return QString::fromLatin1(bytes);
    QString name;
    name.reserve(size);
    name.append(QLatin1StringView(bytes.constData(), asciiEnd));
    for (qsizetype i = asciiEnd; i < size;) {
        if (data[i] < 0x80) {
            name.append(QChar(char16_t(data[i++])));
            continue;
        }
        char32_t point = 0;
        const int length = validSequenceLength(data, i, size, point);
        if (length == 0) {
            name.append(QChar(char16_t(escapeBase + data[i++])));
            continue;
        }
        name.append(QChar::fromUcs4(point));
        i += length;
    }
    return name;
}

QByteArray encodeFileName(const QString& name)
{
    const qsizetype size = name.size();
    qsizetype asciiEnd = 0;
    while (asciiEnd < size && name[asciiEnd].unicode() < 0x80)
        ++asciiEnd;
    if (asciiEnd == size)
        return name.toLatin1();
    QByteArray bytes;
    bytes.reserve(size + size / 2);
    bytes.append(QStringView(name).first(asciiEnd).toLatin1());
    for (qsizetype i = asciiEnd; i < size; ++i) {
        const char16_t unit = name[i].unicode();
        if (unit < 0x80) {
            bytes.append(char(unit));
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size
                   && QChar::isLowSurrogate(name[i + 1].unicode())) {
            appendUtf8(bytes, QChar::surrogateToUcs4(unit, name[i + 1].unicode()));
            ++i;
        } else if (isEscapedByte(unit)) {
            bytes.append(char(unit - escapeBase));
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

QString displayFileName(const QString& name)
{
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const char16_t unit = shown[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < shown.size()
            && QChar::isLowSurrogate(shown[i + 1].unicode()))
            ++i;
        else if (QChar::isSurrogate(unit))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}
