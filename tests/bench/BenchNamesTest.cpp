#include "bench/BenchNames.h"

#include "core/fs/NameCodec.h"
#include "core/fs/NaturalOrder.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

TEST(BenchNames, CollectionNamesAreDistinctVariedAndListedInNaturalOrder) {
    const int count = 5000;
    const QList<QByteArray> names = benchnames::fileNames(benchnames::Kind::Collection, count);
    ASSERT_EQ(names.size(), count);
    EXPECT_EQ(benchnames::fileNames(benchnames::Kind::Collection, count), names);
    EXPECT_EQ(QSet<QByteArray>(names.begin(), names.end()).size(), count);

    int beyondAscii = 0, decomposed = 0, notUtf8 = 0, longer = 0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QByteArray& bytes = names[i];
        ASSERT_GE(bytes.size(), 20) << bytes.toStdString();
        ASSERT_LE(bytes.size(), 120) << bytes.toStdString();
        ASSERT_FALSE(bytes.contains('/') || bytes.startsWith('.')) << bytes.toStdString();
        const QString name = decodeFileName(bytes);
        if (i > 0) {
            ASSERT_TRUE(naturallyBefore(decodeFileName(names[i - 1]), name));
        }
        beyondAscii += name.size() != bytes.size();
        notUtf8 += !QStringView(name).isValidUtf16();
        decomposed += name != name.normalized(QString::NormalizationForm_C);
        longer += bytes.size() > 50;
    }
    EXPECT_GT(beyondAscii, count / 2);
    EXPECT_GT(decomposed, count / 20);
    EXPECT_GT(notUtf8, count / 100);
    // The median is near 50 bytes.
    EXPECT_GT(longer, count * 4 / 10);
    EXPECT_LT(longer, count * 6 / 10);
}

TEST(BenchNames, ShortNamesAreTheFormerOnes) {
    EXPECT_EQ(benchnames::fileNames(benchnames::Kind::Short, 2),
              (QList<QByteArray>{"Artist - Title 000001.mp3", "Artist - Title 000002.mp3"}));
}

} // namespace
