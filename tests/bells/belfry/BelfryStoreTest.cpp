// The belfry store: names, the description file, and belfries written whole
// or not at all.

#include "bells/belfry/BelfryRow.h"
#include "bells/belfry/BelfryStore.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

bellmeasure::Audio tone(int frames = 4800) {
    bellmeasure::Audio a;
    a.sampleRate = 48000;
    a.channels.assign(1, std::vector<float>(static_cast<size_t>(frames)));
    for (int i = 0; i < frames; ++i) {
        a.channels[0][static_cast<size_t>(i)] = 0.25f * static_cast<float>(std::sin(0.05 * i));
    }
    return a;
}

Belfry belfryOf(const QString& name, int bells) {
    Belfry b;
    b.name = name;
    for (int i = 0; i < bells; ++i) {
        BelfryBell bell;
        bell.name = QStringLiteral("Колокол\t%1").arg(i); // the tab must not split the line
        bell.pitchHz = 200.0 * (i + 1);
        bell.partialsHz = {50.0 * (i + 1), 0.0, 240.0, 300.0, 400.0 * (i + 1)};
        bell.t30Seconds = 3.5;
        bell.source = QStringLiteral("/home/звонарь/записи/bell %1.wav").arg(i);
        b.bells.append(bell);
    }
    return b;
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// Names that would escape the folder, hide, or not survive a round trip
// through the file system are refused; a Cyrillic name is fine.
TEST(BelfryStore, NameRules) {
    const std::vector<std::pair<QString, bool>> rows = {
        {QStringLiteral("Троица"), true},       {QStringLiteral("My tower 2"), true},
        {QString(), false},                     {QStringLiteral("   "), false},
        {QStringLiteral(".hidden"), false},     {QStringLiteral(".."), false},
        {QStringLiteral("a/b"), false},         {QStringLiteral("a\\b"), false},
        {QStringLiteral(" lead"), false},       {QStringLiteral("tab\there"), false},
        {QString(60, u'x'), true},              {QString(61, u'x'), false},
    };
    for (const auto& [name, ok] : rows) {
        EXPECT_EQ(BelfryStore::nameProblem(name).isEmpty(), ok) << name.toStdString();
    }
    EXPECT_EQ(BelfryStore::sampleFileName(0), QStringLiteral("bell01.flac"));
    EXPECT_EQ(BelfryStore::sampleFileName(14), QStringLiteral("bell15.flac"));
}

// The description reads back as written; damaged ones are refused by line.
TEST(BelfryStore, DescriptionRoundTripAndDamage) {
    Belfry b = belfryOf(QStringLiteral("Звонница"), 3);
    for (int i = 0; i < 3; ++i) {
        b.bells[i].sample = BelfryStore::sampleFileName(i);
    }
    QString error;
    const std::optional<Belfry> back = parseBelfryDescription(belfryDescription(b), &error);
    ASSERT_TRUE(back) << error.toStdString();
    ASSERT_EQ(back->bells.size(), 3);
    EXPECT_EQ(back->name, b.name);
    EXPECT_EQ(back->bells[2].name, QStringLiteral("Колокол 2"));
    EXPECT_EQ(back->bells[1].source, b.bells[1].source);
    EXPECT_DOUBLE_EQ(back->bells[2].pitchHz, 600.0);
    EXPECT_DOUBLE_EQ(back->bells[2].partialsHz[4], 1200.0);
    EXPECT_DOUBLE_EQ(back->bells[0].partialsHz[1], 0.0);

    const QByteArray good = belfryDescription(b);
    const QByteArray bellLine = "bell\t0\tbell01.flac\tx\t1\t1\t1\t1\t0\t1\t1\t1\t1\t1\tsrc\n";
    const std::vector<std::pair<const char*, QByteArray>> damaged = {
        {"not ours", "hello\n" + bellLine},
        {"no bells", "campanix belfry 1\nname\tX\n"},
        {"a field missing", "campanix belfry 1\nbell\t0\tbell01.flac\tx\t1\n"},
        {"numbered from 1", QByteArray("campanix belfry 1\n") + QByteArray(bellLine).replace("\t0\t", "\t1\t")},
        {"sample outside the folder",
         QByteArray("campanix belfry 1\n") + QByteArray(bellLine).replace("bell01.flac", "../x.flac")},
        {"pitch not a number", QByteArray("campanix belfry 1\n") + QByteArray(bellLine).replace("\tx\t1\t", "\tx\tnan\t")},
        {"torn last line", good.left(good.size() - 20)},
    };
    for (const auto& [what, text] : damaged) {
        EXPECT_FALSE(parseBelfryDescription(text, &error)) << what;
    }
    // CR LF line ends, as an editor on another system leaves them, still read.
    QByteArray crlf = good;
    crlf.replace("\n", "\r\n");
    EXPECT_TRUE(parseBelfryDescription(crlf, &error)) << error.toStdString();
}

// Saved, listed, loaded; an existing name needs `replace`; a failed write
// leaves the old belfry as it was and no half-written folder behind.
TEST(BelfryStore, WholeOrNotAtAll) {
    QTemporaryDir dir;
    const BelfryStore store(dir.path() + QStringLiteral("/Belfries"));
    QString error;
    EXPECT_TRUE(store.names().isEmpty());
    ASSERT_TRUE(store.save(belfryOf(QStringLiteral("Троица"), 2), {tone(), tone()}, false, &error))
        << error.toStdString();
    EXPECT_EQ(store.names(), QStringList{QStringLiteral("Троица")});
    std::optional<Belfry> loaded = store.load(QStringLiteral("Троица"), &error);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->bells[1].sample, QStringLiteral("bell02.flac"));

    EXPECT_FALSE(store.save(belfryOf(QStringLiteral("Троица"), 3), {tone(), tone(), tone()}, false, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("exists")));
    // The third sample cannot be written: the old belfry of two stays.
    EXPECT_FALSE(store.save(belfryOf(QStringLiteral("Троица"), 3), {tone(), tone(), bellmeasure::Audio{}}, true,
                            &error));
    loaded = store.load(QStringLiteral("Троица"), &error);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->bells.size(), 2);
    EXPECT_EQ(entries(store.root()), QStringList{QStringLiteral("Троица")});

    {
        // A full disk: the samples cannot be written whole.
        const FileSizeLimit full(4096);
        EXPECT_FALSE(store.save(belfryOf(QStringLiteral("Троица"), 3), {tone(48000), tone(48000), tone(48000)},
                                true, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(store.load(QStringLiteral("Троица"), &error)->bells.size(), 2);
    EXPECT_EQ(entries(store.root()), QStringList{QStringLiteral("Троица")});

    // What a killed save left an hour ago goes at the next save; a fresh
    // one may be another save's at work and stays.
    QDir().mkpath(store.root() + QStringLiteral(".new-old"));
    QDir().mkpath(store.root() + QStringLiteral(".new-now"));
    std::filesystem::last_write_time((store.root() + QStringLiteral(".new-old")).toStdString(),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));
    ASSERT_TRUE(store.save(belfryOf(QStringLiteral("Троица"), 3), {tone(), tone(), tone()}, true, &error));
    EXPECT_EQ(entries(store.root()), (QStringList{QStringLiteral(".new-now"), QStringLiteral("Троица")}));
    QDir(store.root() + QStringLiteral(".new-now")).removeRecursively();
    EXPECT_EQ(store.load(QStringLiteral("Троица"), &error)->bells.size(), 3);
    EXPECT_EQ(entries(store.root()), QStringList{QStringLiteral("Троица")});
    // Sixteen bells, or none, are no belfry.
    EXPECT_FALSE(store.save(belfryOf(QStringLiteral("Big"), 16), std::vector<bellmeasure::Audio>(16, tone()),
                            false, &error));
    EXPECT_FALSE(store.save(belfryOf(QStringLiteral("Empty"), 0), {}, false, &error));

    // A sample gone missing makes the belfry unusable, with its name.
    QFile::remove(store.folderOf(QStringLiteral("Троица")) + QStringLiteral("bell02.flac"));
    EXPECT_FALSE(store.load(QStringLiteral("Троица"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("bell02.flac")));

    EXPECT_TRUE(store.remove(QStringLiteral("Троица"), &error));
    EXPECT_TRUE(entries(store.root()).isEmpty());
    EXPECT_FALSE(store.remove(QStringLiteral("Троица"), &error));
    EXPECT_FALSE(store.remove(QStringLiteral(".."), &error));
}

// The strip and the information panel: the catalogue picture nearest each
// bell's hum, the places beyond the last bell empty.
TEST(BelfryStore, RowPlacesPicturesAndText) {
    const BelfryRow row(belfryOf(QStringLiteral("T"), 2), QStringLiteral("/x/"));
    const QStringList notes = {QStringLiteral("си контроктавы (63 Гц)"), QStringLiteral("соль (100 Гц)"),
                               QStringLiteral("без цифры"), QStringLiteral("до (267,5 Гц)")};
    EXPECT_TRUE(row.hasBell(1));
    EXPECT_FALSE(row.hasBell(2));
    EXPECT_FALSE(row.hasBell(-1));
    EXPECT_EQ(row.sampleFileName(2), QString());
    // Hums 50 Hz (nearest 63) and, with no hum measured, ... 100 Hz.
    EXPECT_EQ(row.nearestCatalogueBell(0, notes), 0);
    EXPECT_EQ(row.nearestCatalogueBell(1, notes), 1);
    EXPECT_EQ(row.nearestCatalogueBell(5, notes), -1);
    EXPECT_DOUBLE_EQ(catalogueHz(notes[3]), 267.5);
    EXPECT_TRUE(row.information(0).contains(QStringLiteral("Нота удара: G3")));
    EXPECT_TRUE(row.information(0).contains(QStringLiteral("Прима: нет")));
    EXPECT_TRUE(row.information(0).contains(QStringLiteral("T30")));
    EXPECT_TRUE(row.information(7).contains(QStringLiteral("нет колокола")));
    EXPECT_EQ(BelfryRow::caption(QStringLiteral("T")), QStringLiteral("Своя: T"));
}
