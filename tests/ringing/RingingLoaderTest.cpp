// The ringing loader against a fake host, without the main window: the order
// in which a list ringing reaches the program, and refused files.

#include "ringing/RingingLoader.h"
#include "base/ProfileFile.h"
#include "base/TextCodec.h"
#include "bells/EnsembleSettings.h"
#include "ringing/RingingLoaderHost.h"
#include "ringing/TChannels.h"
#include "support/TestProgram.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Logs each call as one word, with what the scores held at that moment where
// the order matters.
class FakeHost : public RingingLoaderHost {
public:
    FakeHost(TChannels& channels, const QString& dir)
        : scores(channels), settings(dir + QStringLiteral("campanix.ini")), folder(dir) {}

    int sequencerInterval() const override { return interval; }
    void setSequencerInterval(int ms) override {
        interval = ms;
        calls << QStringLiteral("interval %1").arg(ms);
    }
    void animationRingingLoaded() override { calls << QStringLiteral("animation"); }
    void showTempo() override { calls << QStringLiteral("tempo"); }
    void showTotalDuration() override { calls << QStringLiteral("duration"); }
    void deselectAllBells() override { calls << QStringLiteral("deselect"); }
    void applyEnsembleText(const QString& bells, const QString& types) override {
        calls << QStringLiteral("ensemble %1 %2, stored %3, score %4")
                     .arg(bells, types, ensemble_settings::read(settings).bells)
                     .arg(scores.common().size());
    }
    ProfileFile& settingsFile() override { return settings; }
    void applyWholeRingingRanges() override { calls << QStringLiteral("ranges"); }
    bool notesShown() const override { return true; }
    void redrawScore() override { calls << QStringLiteral("redraw"); }
    void showStatusMessage(const QString& text, int timeoutMs) override {
        calls << QStringLiteral("status %1").arg(timeoutMs);
        status = text;
    }
    void play() override { calls << QStringLiteral("play"); }
    void resetPlayback() override { calls << QStringLiteral("reset"); }
    void showRingingName(const QString& name) override { calls << QStringLiteral("title ") + name; }
    void showChooserOpen() override { calls << QStringLiteral("chooser title"); }
    void clearChoices() override { calls << QStringLiteral("clear choices"); }
    void chooseOfferedRinging(const QString& name) override { calls << QStringLiteral("offer ") + name; }
    QString customDir() const override { return folder; }
    QWidget* dialogParent() override { return nullptr; }

    TChannels& scores;
    ProfileFile settings;
    QString folder;
    int interval = 300;
    QStringList calls;
    QString status;
};

class RingingLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ensureQtApplication(); }

    QString path(const char* name) const {
        return dir.path() + QStringLiteral("/") + QString::fromLatin1(name);
    }

    QTemporaryDir dir;
    TChannels channels;
    FakeHost host{channels, dir.path() + QStringLiteral("/")};
    RingingLoader loader{channels, host};
};

const QString kBells = QStringLiteral("000000000011100");
const QString kTypes = QStringLiteral("nnnnnnnnnnsmbnn");

//! Catches an ensemble applied after the body (the ensemble's reset would
//! empty the score just loaded) or not stored first, and a lost title/offer.
TEST_F(RingingLoaderTest, ListRingingAppliesItsEnsembleBeforeItsBody) {
    ASSERT_TRUE(writeTextLines(path("feast.kol"),
                               {kBells, kTypes, QStringLiteral("Праздничный"), QStringLiteral("описание"),
                                QStringLiteral("200;s-"), QStringLiteral("s1"), QStringLiteral("m1")}));
    ASSERT_TRUE(loader.loadListRingingByName(QStringLiteral("feast")));
    const QStringList expected = {
        QStringLiteral("title Праздничный"),
        QStringLiteral("deselect"),
        QStringLiteral("ensemble %1 %2, stored %1, score 0").arg(kBells, kTypes),
        QStringLiteral("interval 200"),
        QStringLiteral("animation"),
        QStringLiteral("tempo"),
        QStringLiteral("duration"),
        QStringLiteral("ranges"),
        QStringLiteral("redraw"),
        QStringLiteral("offer Праздничный"),
    };
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(channels.common().size(), 2);
}

//! Catches a refused file that touches the ensemble, the tempo or the score,
//! and a refusal that is not shown for 20 s where the user chose the ringing.
TEST_F(RingingLoaderTest, RefusedFilesChangeNothing) {
    ASSERT_TRUE(
        loader.loadRingingLines(TChannels::kCommonScore, {QStringLiteral("144"), QStringLiteral("s1")}));
    host.calls.clear();
    QFile large(path("large.kol"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    large.write(QByteArray(kMaxRingingFileBytes + 1, 's'));
    large.close();
    ASSERT_TRUE(writeTextLines(path("short.kol"), {kBells, kTypes}));

    EXPECT_FALSE(loader.loadListRingingByName(QStringLiteral("large")));
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("status 20000")});
    EXPECT_TRUE(host.status.contains(QStringLiteral("large.kol")));
    host.calls.clear();
    EXPECT_FALSE(loader.LoadRinging(TChannels::kCommonScore, path("large.kol")));
    EXPECT_FALSE(loader.loadListRingingByName(QStringLiteral("short")));
    EXPECT_FALSE(loader.loadListRingingByName(QStringLiteral("missing")));
    EXPECT_FALSE(loader.openUserRingingText(path("missing.ukl")));
    EXPECT_EQ(host.calls, QStringList(4, QStringLiteral("status 20000")));
    EXPECT_TRUE(host.status.contains(QStringLiteral("«missing.ukl» не найден"))) << host.status.toStdString();

    EXPECT_EQ(channels.common(), QStringList{QStringLiteral("s1")});
    EXPECT_EQ(host.interval, 144);
    EXPECT_FALSE(host.settings.exists());
}

} // namespace
