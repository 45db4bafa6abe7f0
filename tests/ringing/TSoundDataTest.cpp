#include "ringing/TSoundData.h"
#include "base/RequiredFileCheck.h"
#include "base/TextCodec.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

struct Catalogue {
    QTemporaryDir dir;
    QString campanel() const { return dir.path() + QStringLiteral("/Campanel/"); }

    Catalogue() {
        QDir(dir.path()).mkpath(QStringLiteral("Campanel"));
        write("small.kli", {"1;Трель;s1.kol", "3;Перебор малых;s2.kol", "10;Десять;s3.kol"});
        write("middle.kli", {"2;Ход;m1.kol;лишнее поле", "4;Ход вчетвером;m2.kol"});
        write("big.kli", {"1;Благовест;b1.kol"});
        write("common.kli",
              {"433;Трезвон;t1.kol", "541;Праздничный;t2.kol", "111;Будничный;t3.kol", "532;Впору;t4.kol"});
    }
    void write(const char* name, const QStringList& lines) {
        ASSERT_TRUE(writeTextLines(campanel() + QString::fromLatin1(name), lines));
    }
};

} // namespace

// The four lists are read into parallel columns; fields after the third are ignored.
TEST(TSoundData, ReadsTheFourLists) {
    Catalogue c;
    TSoundData data;
    RequiredFileCheck check;
    ASSERT_TRUE(data.load(c.campanel(), check));
    EXPECT_FALSE(check.terminationRequested());
    EXPECT_EQ(data.names(TSoundData::kMiddleList), (QStringList{"Ход", "Ход вчетвером"}));
    EXPECT_EQ(data.files(TSoundData::kMiddleList), (QStringList{"m1.kol", "m2.kol"}));
    EXPECT_EQ(data.requirements(TSoundData::kCommonList), (QStringList{"433", "541", "111", "532"}));
}

// A missing list file, or a line of fewer than three fields (an empty one
// included), is fatal and the message names that file.
TEST(TSoundData, MissingOrDamagedListIsFatal) {
    struct Case {
        const char* file;
        QStringList lines; // empty: the file is removed
    };
    const Case cases[] = {
        {"big.kli", {}},
        {"middle.kli", {"2;Ход;m1.kol", "3;Без файла"}},
        {"common.kli", {"433;Трезвон;t1.kol", ""}},
    };
    for (const Case& k : cases) {
        Catalogue c;
        const QString path = c.campanel() + QString::fromLatin1(k.file);
        if (k.lines.isEmpty()) {
            QFile::remove(path);
        } else {
            c.write(k.file, k.lines);
        }
        QStringList shown;
        RequiredFileCheck check([&](const QString& message) { shown << message; });
        TSoundData data;
        EXPECT_FALSE(data.load(c.campanel(), check)) << k.file;
        EXPECT_TRUE(check.terminationRequested());
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown.front().contains(path)) << shown.front().toStdString();
    }
}

// Common ringings: each requirement digit against its group's count.
TEST(TSoundData, CommonOfferComparesEachDigit) {
    Catalogue c;
    TSoundData data;
    RequiredFileCheck check;
    ASSERT_TRUE(data.load(c.campanel(), check));
    // Counts 5, 3, 2: "541" does not fit (middle 3 < 4), nor "433" (big 2 < 3);
    // "532" fits exactly.
    TSoundData::Offer offer = data.commonOffer(5, 3, 2);
    EXPECT_TRUE(offer.complete);
    EXPECT_EQ(offer.names, (QStringList{"Будничный", "Впору"}));
    EXPECT_EQ(offer.files, (QStringList{"t3.kol", "t4.kol"}));
    // Counts 5, 3, 3: "433" fits.
    EXPECT_EQ(data.commonOffer(5, 3, 3).files, (QStringList{"t1.kol", "t3.kol", "t4.kol"}));
    // Nothing fits an empty ensemble.
    EXPECT_TRUE(data.commonOffer(0, 0, 0).names.isEmpty());
    // A group of ten counts as ten, not as its first digit.
    EXPECT_EQ(data.commonOffer(10, 4, 1).names, (QStringList{"Праздничный", "Будничный"}));
}

// A requirement that is not three digits stops the filling at that line.
TEST(TSoundData, UnreadableCommonRequirementStopsTheOffer) {
    Catalogue c;
    c.write("common.kli", {"111;Первый;a.kol", "1x1;Сломанный;b.kol", "111;Третий;c.kol"});
    TSoundData data;
    RequiredFileCheck check;
    ASSERT_TRUE(data.load(c.campanel(), check));
    const TSoundData::Offer offer = data.commonOffer(5, 5, 5);
    EXPECT_FALSE(offer.complete);
    EXPECT_EQ(offer.names, QStringList{"Первый"});
    c.write("common.kli", {"11;Короткий;a.kol"});
    ASSERT_TRUE(data.load(c.campanel(), check));
    EXPECT_FALSE(data.commonOffer(5, 5, 5).complete);
}

// Group ringings: the whole requirement against the group's count, so "10"
// needs ten bells and groups of ten or more reach every smaller requirement.
TEST(TSoundData, GroupOfferComparesWholeNumbers) {
    Catalogue c;
    TSoundData data;
    RequiredFileCheck check;
    ASSERT_TRUE(data.load(c.campanel(), check));
    EXPECT_EQ(data.groupOffer(TSoundData::kSmallList, 0).names, QStringList{});
    EXPECT_EQ(data.groupOffer(TSoundData::kSmallList, 2).names, QStringList{"Трель"});
    EXPECT_EQ(data.groupOffer(TSoundData::kSmallList, 9).names, (QStringList{"Трель", "Перебор малых"}));
    EXPECT_EQ(data.groupOffer(TSoundData::kSmallList, 10).files, (QStringList{"s1.kol", "s2.kol", "s3.kol"}));
    EXPECT_EQ(data.groupOffer(TSoundData::kMiddleList, 3).names, QStringList{"Ход"});
    // A requirement that is no number offers nothing, the rest still do.
    c.write("big.kli", {"x;Странный;x.kol", "2;Два;b2.kol"});
    ASSERT_TRUE(data.load(c.campanel(), check));
    EXPECT_EQ(data.groupOffer(TSoundData::kBigList, 5).names, QStringList{"Два"});
    EXPECT_TRUE(data.groupOffer(TSoundData::kCommonList, 5).names.isEmpty());
}
