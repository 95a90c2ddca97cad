#include "core/rename/NumericField.h"

#include <QString>

#include <charconv>
#include <cmath>

namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The text without the characters that the reading skips wherever they stand.
QString withoutSkipped(QStringView text) {
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text)
        if (!isSkipped(c))
            compact.append(c);
    return compact;
}

double radixNumber(QStringView digits, int radix) {
    double value = 0;
    for (QChar c : digits) {
        const int digit = c.isDigit() && c.unicode() < 128 ? c.unicode() - u'0'
                          : radix == 16 && c.toLower() >= u'a' && c.toLower() <= u'f'
                              ? c.toLower().unicode() - u'a' + 10
                              : radix;
        if (digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Locale-independent: the program may run under a locale with a decimal comma.
double parseDecimal(const QByteArray& number) {
    const bool negative = number.startsWith('-');
    const char* first = number.constData() + (negative || number.startsWith('+') ? 1 : 0);
    const char* last = number.constData() + number.size();
    double value = 0;
    if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range)
        value = number.contains("e-") ? 0.0 : HUGE_VAL;
    return negative ? -value : value;
}

} // namespace

double leadingNumber(QStringView text) {
    const QString compact = withoutSkipped(text);
    if (compact.size() >= 2 && compact[0] == u'&') {
        const QChar radix = compact[1].toUpper();
        if (radix == u'H')
            return radixNumber(QStringView(compact).mid(2), 16);
        if (radix == u'O')
            return radixNumber(QStringView(compact).mid(2), 8);
        return 0;
    }

    // Collect the longest prefix that forms a decimal number, in ASCII.
    QByteArray number;
    qsizetype i = 0;
    if (i < compact.size() && (compact[i] == u'+' || compact[i] == u'-'))
        number.append(char(compact[i++].unicode()));
    qsizetype mantissaDigits = 0;
    while (i < compact.size() && isAsciiDigit(compact[i])) {
        number.append(char(compact[i++].unicode()));
        ++mantissaDigits;
    }
    if (i < compact.size() && compact[i] == u'.') {
        number.append('.');
        ++i;
        while (i < compact.size() && isAsciiDigit(compact[i])) {
            number.append(char(compact[i++].unicode()));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0;
    if (i < compact.size() && compact[i].toUpper() == u'E') {
        qsizetype j = i + 1;
        QByteArray exponent("e");
        if (j < compact.size() && (compact[j] == u'+' || compact[j] == u'-'))
            exponent.append(char(compact[j++].unicode()));
        qsizetype exponentDigits = 0;
        while (j < compact.size() && isAsciiDigit(compact[j])) {
            exponent.append(char(compact[j++].unicode()));
            ++exponentDigits;
        }
        if (exponentDigits > 0)
            number.append(exponent);
    }
    return parseDecimal(number);
}

std::optional<qint16> numericFieldValue(QStringView text) {
    // nearbyint rounds half to even in the default rounding mode.
    const double rounded = std::nearbyint(leadingNumber(text));
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return qint16(rounded);
}
