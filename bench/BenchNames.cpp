#include "bench/BenchNames.h"

#include "core/fs/NameCodec.h"
#include "core/fs/NaturalOrder.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace benchnames {

namespace {

// The generator's output sequence is fixed by the standard, unlike that of
// the distributions, so picks are made from it directly.
class Picker {
public:
    explicit Picker(unsigned seed) : engine_(seed) {}

    // A whole number from 0 to `bound` - 1.
    int below(int bound) { return int(engine_() % unsigned(bound)); }
    bool chance(int percent) { return below(100) < percent; }

    template <size_t N> const char16_t* oneOf(const char16_t* const (&choices)[N]) {
        return choices[below(int(N))];
    }

private:
    std::mt19937 engine_;
};

constexpr const char16_t* artists[] = {
    u"Künstler",
    u"Jörg Weißbach",
    u"Die Straßenmusikanten",
    u"Bläserquintett Süd",
    u"Chor der Großen Öffnung",
    u"Anna-Lena Müller & Das Kammerorchester Lüneburg",
    u"Zwölf Töne",
    u"Hans Böhm",
    u"Gebrüder Jäger",
    u"DJ Fußgänger",
    u"Ensemble Übermaß feat. Grüße aus Dölzig",
    u"Tom",
    u"The Quiet Rooms",
    u"Frühstücksfernsehen",
    u"Knabenchor Mölln",
    u"Schönwetter Trio",
    u"Karl Berger Quartett",
    u"Nina Kraft",
    u"Blue Harbour",
    u"Sven",
    u"Radio-Sinfonieorchester Stuttgart",
    u"Miles Ahead & The Late Night Band",
    u"Heinz",
    u"Orgelwerke Vol. 3",
};

constexpr const char16_t* words[] = {
    u"Ein",      u"ziemlich", u"langer", u"Titel",  u"Straße",     u"nach",   u"Süden",
    u"Grüße",    u"Mädchen",  u"über",   u"dem",    u"Fluss",      u"Nacht",  u"in",
    u"Blau",     u"Zeit",     u"für",    u"Träume", u"Weiß",       u"Schnee", u"Lied",
    u"ohne",     u"Worte",    u"Öl",     u"auf",    u"Leinwand",   u"Hände",  u"Herz",
    u"Fähre",    u"Brücke",   u"Wolke",  u"Sieben", u"Rückweg",    u"Tanz",   u"der",
    u"Stunden",  u"Mühle",    u"am",     u"Bach",   u"Morgenröte", u"Gefühl", u"Heimat",
    u"Abschied", u"Größe",    u"Spaß",   u"Bäume",  u"Regen",      u"and",    u"the",
    u"Moon",     u"Love",     u"Song",   u"Café",   u"Señorita",   u"Nº",     u"Zürich",
    u"Sommer",   u"Wind",     u"Licht",  u"Stadt",  u"Land",       u"Fluss",  u"Wasser",
    u"Feuer",    u"Berg",     u"Tag",    u"Weg",    u"Meer",       u"alles",  u"immer",
    u"wieder",   u"Night",    u"Blue",   u"River",
};

constexpr const char16_t* extensions[] = {u".mp3", u".mp3", u".mp3", u".mp3", u".MP3", u".flac"};

constexpr int shortestName = 20;
constexpr int longestName = 120;

QString title(Picker& pick) {
    // Mostly one to four words, now and then many more.
    const int count = pick.chance(15) ? 5 + pick.below(9) : 1 + pick.below(4);
    QStringList picked;
    for (int i = 0; i < count; ++i)
        picked.append(QString::fromUtf16(pick.oneOf(words)));
    return picked.join(u' ');
}

// What follows a title now and then, with a year or numbers.
QString addition(Picker& pick) {
    const QString year = QString::number(1960 + pick.below(65));
    const QString part = QString::number(1 + pick.below(40));
    const QString number = QString::number(1 + pick.below(12));
    switch (pick.below(8)) {
    case 0:
        return u" (Live in Köln, "_s + year + u')';
    case 1:
        return u" [Remastered "_s + year + u']';
    case 2:
        return u" (Teil "_s + part + u')';
    case 3:
        return u" (Radio Edit)"_s;
    case 4:
        return u" - Op. "_s + part + u" Nr. "_s + number;
    case 5:
        return u" (Mix "_s + year + u" - Version "_s + number + u')';
    case 6:
        return u" (feat. Günther)"_s;
    default:
        return u" "_s + number + u". Satz"_s;
    }
}

QString collectionName(Picker& pick) {
    QString name;
    if (pick.chance(60))
        name += u"%1 - "_s.arg(1 + pick.below(30), 2, 10, QChar(u'0'));
    else if (pick.chance(25))
        name += u"%1-%2 "_s.arg(1 + pick.below(3)).arg(1 + pick.below(30), 2, 10, QChar(u'0'));
    name += QString::fromUtf16(pick.oneOf(artists)) + u" - "_s + title(pick);
    if (pick.chance(30))
        name += addition(pick);
    return name;
}

// The name in `encode`'s bytes, cut at a word's end where it is longer than
// allowed and lengthened by words where it is shorter.
template <typename Encode>
QByteArray fitted(QString stem, const QString& extension, Picker& pick, Encode encode) {
    while (encode(stem + extension).size() < shortestName)
        stem += u' ' + QString::fromUtf16(pick.oneOf(words));
    while (encode(stem + extension).size() > longestName)
        stem.truncate(stem.lastIndexOf(u' '));
    return encode(stem + extension);
}

QByteArray collectionBytes(Picker& pick) {
    const QString stem = collectionName(pick);
    const QString extension = QString::fromUtf16(pick.oneOf(extensions));
    const bool beyondAscii =
        std::any_of(stem.cbegin(), stem.cend(), [](QChar c) { return c.unicode() > 0x7f; });
    // Written by an old system in Latin-1.
    if (beyondAscii && pick.chance(3))
        return fitted(stem, extension, pick, [](const QString& name) { return name.toLatin1(); });
    // Written by a system that stores names decomposed.
    if (beyondAscii && pick.chance(15))
        return fitted(stem, extension, pick, [](const QString& name) {
            return encodeFileName(name.normalized(QString::NormalizationForm_D));
        });
    return fitted(stem, extension, pick, [](const QString& name) { return encodeFileName(name); });
}

QList<QByteArray> shortNames(int count) {
    QList<QByteArray> names;
    names.reserve(count);
    const int digits = std::max<int>(6, QByteArray::number(count).size());
    for (int number = 1; number <= count; ++number)
        names.append("Artist - Title " + QByteArray::number(number).rightJustified(digits, '0') +
                     ".mp3");
    return names;
}

QList<QByteArray> collectionNames(int count) {
    Picker pick(20261209);
    QSet<QByteArray> taken;
    taken.reserve(count);
    QList<QByteArray> names;
    names.reserve(count);
    while (names.size() < count) {
        QByteArray name = collectionBytes(pick);
        if (!taken.contains(name)) {
            taken.insert(name);
            names.append(std::move(name));
        }
    }
    return names;
}

QList<QByteArray> inNaturalOrder(const QList<QByteArray>& names) {
    QStringList decoded;
    decoded.reserve(names.size());
    for (const QByteArray& name : names)
        decoded.append(decodeFileName(name));
    QList<QByteArray> sorted;
    sorted.reserve(names.size());
    for (const qsizetype index : naturalOrder(decoded))
        sorted.append(names[index]);
    return sorted;
}

} // namespace

QList<QByteArray> fileNames(Kind kind, int count) {
    // Zero-padded numbers make the short names' natural order their byte order.
    return kind == Kind::Short ? shortNames(count) : inNaturalOrder(collectionNames(count));
}

} // namespace benchnames
