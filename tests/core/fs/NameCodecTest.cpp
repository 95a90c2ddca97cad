#include "core/fs/NameCodec.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QString units(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

TEST(NameCodec, EverySingleByteRoundTrips) {
    for (int value = 0; value < 256; ++value) {
        const QByteArray bytes(1, char(value));
        const QString name = decodeFileName(bytes);
        ASSERT_EQ(name.size(), 1) << value;
        const char16_t expected = value < 0x80 ? char16_t(value) : char16_t(0xDC00 + value);
        EXPECT_EQ(name[0].unicode(), expected) << value;
        EXPECT_EQ(encodeFileName(name), bytes) << value;
    }
}

TEST(NameCodec, EveryBytePairRoundTrips) {
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            QByteArray bytes;
            bytes.append(char(first));
            bytes.append(char(second));
            ASSERT_EQ(encodeFileName(decodeFileName(bytes)), bytes) << first << ' ' << second;
        }
    }
}

TEST(NameCodec, RandomByteStringsRoundTrip) {
    // Pieces that make up likely and unlikely names: ASCII, valid sequences of
    // every length, stray continuation and lead bytes, surrogate encodings.
    const std::vector<QByteArray> pieces = {"a",
                                            "Z",
                                            "/",
                                            ".",
                                            " ",
                                            "\xC3\xA9",
                                            "\xE2\x82\xAC",
                                            "\xF0\x9F\x8E\xB5",
                                            "\x80",
                                            "\xBF",
                                            "\xC3",
                                            "\xE2\x82",
                                            "\xF0\x9F\x8E",
                                            "\xED\xA0\x80",
                                            "\xED\xB2\x80",
                                            "\xF4\x90\x80\x80",
                                            "\xC0\xAF",
                                            "\xFF",
                                            "\xFE",
                                            "\xE9"};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byteValue(0, 255);
    std::uniform_int_distribution<size_t> pieceIndex(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        const int count = length(random);
        for (int i = 0; i < count; ++i) {
            if (round % 2 == 0)
                bytes.append(char(byteValue(random)));
            else
                bytes.append(pieces[pieceIndex(random)]);
        }
        const QString name = decodeFileName(bytes);
        ASSERT_EQ(encodeFileName(name), bytes) << bytes.toHex().toStdString();
        ASSERT_EQ(encodedFileNameSize(name), bytes.size()) << bytes.toHex().toStdString();
    }
}

struct DecodeRow {
    const char* name;
    std::string_view bytes;
    std::u16string_view text;
};

class NameCodecDecode : public testing::TestWithParam<DecodeRow> {};

TEST_P(NameCodecDecode, DecodesAndRoundTrips) {
    const QByteArray bytes = bytesOf(GetParam().bytes);
    EXPECT_EQ(decodeFileName(bytes), units(GetParam().text));
    EXPECT_EQ(encodeFileName(decodeFileName(bytes)), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NameCodecDecode,
    testing::Values(
        DecodeRow{"AsciiUnchanged", "Track 01.mp3", u"Track 01.mp3"},
        DecodeRow{"EmptyName", "", u""},
        DecodeRow{"Utf8Umlauts", "M\xC3\xBCller \xC3\x84rger", u"M\u00FCller \u00C4rger"},
        DecodeRow{"Latin1BytesEscaped", "Caf\xE9 M\xFCller.mp3", u"Caf\xDCE9 M\xDCFCller.mp3"},
        DecodeRow{"FourByteBeforeInvalidByte", "\xF0\x9F\x8E\xB5\x80", u"\xD83C\xDFB5\xDC80"},
        DecodeRow{"InvalidByteBeforeFourByte", "\xFF\xF0\x9F\x8E\xB5", u"\xDCFF\xD83C\xDFB5"},
        // U+1F080 has the low surrogate DC80, the same unit as the escaped byte 0x80.
        DecodeRow{"PairWithEscapeLikeLowHalf", "\x80\xF0\x9F\x82\x80\x80",
                  u"\xDC80\xD83C\xDC80\xDC80"},
        DecodeRow{"SmallestTwoByte", "\xC2\x80", u"\u0080"},
        DecodeRow{"SmallestThreeByte", "\xE0\xA0\x80", u"\u0800"},
        DecodeRow{"LargestThreeByte", "\xEF\xBF\xBF", u"\uFFFF"},
        DecodeRow{"SmallestFourByte", "\xF0\x90\x80\x80", u"\xD800\xDC00"},
        DecodeRow{"LargestCodePoint", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
        DecodeRow{"OverlongNulEscaped", "\xC0\x80", u"\xDCC0\xDC80"},
        DecodeRow{"OverlongTwoByteEscaped", "\xC1\xBF", u"\xDCC1\xDCBF"},
        DecodeRow{"OverlongSlashNotASlash", "\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},
        DecodeRow{"OverlongFourByteEscaped", "\xF0\x8F\xBF\xBF", u"\xDCF0\xDC8F\xDCBF\xDCBF"},
        DecodeRow{"EncodedHighSurrogateEscaped", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},
        DecodeRow{"EncodedLowSurrogateEscaped", "\xED\xBF\xBF", u"\xDCED\xDCBF\xDCBF"},
        DecodeRow{"AboveLargestCodePointEscaped", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
        DecodeRow{"LeadByteF5Escaped", "\xF5\x80\x80\x80", u"\xDCF5\xDC80\xDC80\xDC80"},
        DecodeRow{"TruncatedAtEnd", "ab\xE2\x82", u"ab\xDCE2\xDC82"},
        DecodeRow{"TruncatedBeforeAscii", "\xE2\x82x", u"\xDCE2\xDC82x"},
        DecodeRow{"LoneContinuationByte", "a\xBFz", u"a\xDCBFz"}),
    [](const testing::TestParamInfo<DecodeRow>& info) { return std::string(info.param.name); });

struct EncodeRow {
    const char* name;
    std::u16string_view text;
    std::string_view bytes;
};

class NameCodecEncode : public testing::TestWithParam<EncodeRow> {};

TEST_P(NameCodecEncode, Encodes) {
    EXPECT_EQ(encodeFileName(units(GetParam().text)), bytesOf(GetParam().bytes));
    EXPECT_EQ(encodedFileNameSize(units(GetParam().text)), qsizetype(GetParam().bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NameCodecEncode,
    testing::Values(EncodeRow{"Ascii", u"a b.mp3", "a b.mp3"},
                    EncodeRow{"Umlaut", u"\u00FC", "\xC3\xBC"},
                    EncodeRow{"SurrogatePair", u"\xD83C\xDFB5", "\xF0\x9F\x8E\xB5"},
                    EncodeRow{"EscapedByte", u"Caf\xDCE9", "Caf\xE9"},
                    EncodeRow{"LowestEscape", u"\xDC80", "\x80"},
                    EncodeRow{"LoneLowBelowEscapes", u"\xDC7F", "\xED\xB1\xBF"},
                    EncodeRow{"LoneHighSurrogate", u"\xD800x", "\xED\xA0\x80x"},
                    EncodeRow{"PairEndingInEscapeRange", u"\xD800\xDC80", "\xF0\x90\x82\x80"},
                    EncodeRow{"AsciiBetweenUmlauts", u"\u00E4bcdefghij\u00F6",
                              "\xC3\xA4"
                              "bcdefghij\xC3\xB6"}),
    [](const testing::TestParamInfo<EncodeRow>& info) { return std::string(info.param.name); });

TEST(NameCodec, DisplayShowsEscapedBytesAsReplacement) {
    const QString name = decodeFileName("Caf\xE9 \xF0\x9F\x8E\xB5.mp3");
    EXPECT_EQ(displayFileName(name), units(u"Caf\uFFFD \xD83C\xDFB5.mp3"));
}

TEST(NameCodec, DisplayReplacesLoneHalvesButKeepsPairs) {
    EXPECT_EQ(displayFileName(units(u"\xDFB5\xD83C\xDFB5\xD83C")),
              units(u"\uFFFD\xD83C\xDFB5\uFFFD"));
}

// The codec looks at whole words of ASCII first; a unit beyond ASCII must be
// found wherever it falls within or after them.
TEST(NameCodec, UnitBeyondAsciiIsFoundAtEveryPosition) {
    const QByteArray ascii = "0123456789abcdefghij";
    for (qsizetype position = 0; position <= ascii.size(); ++position) {
        SCOPED_TRACE(position);
        const QByteArray latin1 = ascii.first(position) + '\xE9' + ascii.sliced(position);
        const QString escaped = decodeFileName(latin1);
        EXPECT_EQ(escaped[position].unicode(), 0xDCE9);
        EXPECT_EQ(encodeFileName(escaped), latin1);
        EXPECT_EQ(displayFileName(escaped)[position], QChar::ReplacementCharacter);

        const QByteArray utf8 = ascii.first(position) + "\xC3\xA9" + ascii.sliced(position);
        const QString decoded = decodeFileName(utf8);
        EXPECT_EQ(decoded[position].unicode(), 0xE9);
        EXPECT_EQ(encodeFileName(decoded), utf8);
        EXPECT_EQ(displayFileName(decoded), decoded);
    }
}

} // namespace
