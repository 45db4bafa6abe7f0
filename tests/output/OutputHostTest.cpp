// What the output classes take from their host: the keyboard pause, the
// file name offered for the sound, and the score they draw.

#include "FakeOutputHost.h"
#include "output/KeyboardRingingPause.h"
#include "output/ScoreImages.h"
#include "output/SoundExport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// A pause restores whatever was there before, also when it was already off
// or when pauses nest (a dialog opened from a dialog).
TEST(KeyboardRingingPause, RestoresTheEarlierStateAndNests) {
    FakeOutputHost host;
    {
        const KeyboardRingingPause outer(host);
        EXPECT_FALSE(host.ringing);
        {
            const KeyboardRingingPause inner(host);
            EXPECT_FALSE(host.ringing);
        }
        EXPECT_FALSE(host.ringing); // the outer dialog is still open
    }
    EXPECT_TRUE(host.ringing);

    host.ringing = false;
    { const KeyboardRingingPause pause(host); }
    EXPECT_FALSE(host.ringing); // a pause never turns ringing on
}

// The offered file name is the host's ringing name made safe for a file
// system; with no ringing loaded, a generic name.
TEST(SoundExportName, ComesFromTheHostsRingingName) {
    FakeOutputHost host;
    SoundExport sound(host);
    host.name = QStringLiteral("Звон: 1/2 \"a\" <b>|c?*\\");
    EXPECT_EQ(sound.suggestedFileName(), QStringLiteral("Звон_ 1_2 _a_ _b__c___.wav"));
    host.name.clear();
    EXPECT_EQ(sound.suggestedFileName(), QStringLiteral("Звон.wav"));

    // A name of a few hundred characters is cut to what a file system takes
    // (255 bytes, also as ".flac"), never inside a character.
    for (const QString& name : {QString(300, u'a'), QString(300, u'ж'),
                                QStringLiteral("a") + QString::fromUtf8("\xF0\x9F\x94\x94").repeated(100)}) {
        host.name = name;
        const QString suggested = sound.suggestedFileName();
        ASSERT_TRUE(suggested.endsWith(QStringLiteral(".wav")));
        const QString stem = suggested.chopped(4);
        EXPECT_LE(QFile::encodeName(stem + QStringLiteral(".flac")).size(), 255) << name.size();
        EXPECT_GT(QFile::encodeName(stem).size(), 240) << name.size();
        EXPECT_TRUE(name.startsWith(stem));
        EXPECT_EQ(QString::fromUtf8(QFile::encodeName(stem)), stem); // no broken character
    }
}

// The snapshot keeps each group's score and count in BellGroup order, while
// the ensemble numbers its groups from 1: an off-by-one would swap counts.
TEST(ScoreSnapshotOfHost, GroupsAndCountsInGroupOrder) {
    FakeOutputHost host;
    host.groups = {QStringList{QStringLiteral("s1")}, QStringList{QStringLiteral("m1")},
                   QStringList{QStringLiteral("b1")}};
    host.bells.setSelected(0, true);
    host.bells.setGroup(0, kBigGroup);
    host.bells.setSelected(1, true);
    host.bells.setGroup(1, kBigGroup);
    host.bells.setSelected(5, true);
    host.bells.setGroup(5, kSmallGroup);
    host.simplified = true;

    const ScoreSnapshot score = scoreSnapshot(host);
    EXPECT_EQ(score.groups[0], QStringList{QStringLiteral("s1")});
    EXPECT_EQ(score.groups[2], QStringList{QStringLiteral("b1")});
    EXPECT_EQ(score.counts, (std::array<int, 3>{1, 0, 2}));
    EXPECT_TRUE(score.simplified);
    EXPECT_EQ(score.face, host.face);
}

} // namespace
