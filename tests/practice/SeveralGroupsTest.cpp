// Two or three groups practised at once: the part's bells, its code in the
// history and the grades, its caption, and its choice in the setup dialog.

#include "practice/PracticePart.h"
#include "practice/Trainer.h"
#include "practice/TrainingSetupDialog.h"
#include "support/TestProgram.h"

#include "FakePracticeHost.h"

#include <QAbstractButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kS = PracticePart::bitOf(kSmallGroup);
constexpr int kM = PracticePart::bitOf(kMiddleGroup);
constexpr int kB = PracticePart::bitOf(kBigGroup);

// Bells 0, 1 big; 5, 6, 7 middle; 13, 14 small.
Ensemble lessonLike() {
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("110001110000011"), QStringLiteral("bbnnnmmmnnnnnss"));
    return ensemble;
}

TEST(SeveralGroups, PartsReadWriteAndNameTheirBells) {
    const Ensemble ensemble = lessonLike();
    const struct {
        int bits;
        const char* code;
        const char* caption;
        QList<int> bells;
    } cases[] = {
        //! the left hand of a trezvon: middle and big
        {kM | kB, "mb", "Средние и большие колокола", {0, 1, 5, 6, 7}},
        {kS | kM, "sm", "Малые и средние колокола", {5, 6, 7, 13, 14}},
        {kS | kB, "sb", "Малые и большие колокола", {0, 1, 13, 14}},
        //! all three: every chosen bell of a group
        {kS | kM | kB, "smb", "Малые, средние и большие колокола", {0, 1, 5, 6, 7, 13, 14}},
    };
    for (const auto& c : cases) {
        const PracticePart part = PracticePart::ofGroups(c.bits);
        EXPECT_TRUE(part.isSeveralGroups()) << c.code;
        EXPECT_FALSE(part.isSingleBell()) << c.code;
        EXPECT_EQ(part.code(), QString::fromLatin1(c.code));
        EXPECT_EQ(part.caption(), QString::fromUtf8(c.caption));
        EXPECT_EQ(part.bells(ensemble), c.bells) << c.code;
        PracticePart read;
        ASSERT_TRUE(PracticePart::fromCode(part.code(), read)) << c.code;
        EXPECT_EQ(read, part) << c.code;
    }
    //! one group given as bits is that group, and reads back as before
    EXPECT_EQ(PracticePart::ofGroups(kM), PracticePart::ofGroup(kMiddleGroup));
    EXPECT_EQ(PracticePart::ofGroups(kM).code(), QStringLiteral("m"));
    EXPECT_EQ(PracticePart::ofGroups(0), PracticePart{});
    //! a code the program never writes is refused, never half read
    for (const char* bad : {"ss", "bm", "smbs", "sx", "mk", ""}) {
        PracticePart read = PracticePart::ofBell(3);
        EXPECT_FALSE(PracticePart::fromCode(QString::fromLatin1(bad), read)) << bad;
        EXPECT_EQ(read, PracticePart::ofBell(3)) << bad;
    }
}

class SeveralGroupsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
        host.bells = lessonLike();
        for (int c = 0; c < 64; ++c) {
            host.channels().common() << (c % 4 == 0 ? QStringLiteral("s1,m1,b1") : QString());
        }
    }
    QTemporaryDir m_dir;
    FakePracticeHost host{m_dir.filePath(QStringLiteral("campanix.ini"))};
};

// The dialog offers the combinations, hands back the one chosen, and a run of
// it silences every bell of its groups and no other.
TEST_F(SeveralGroupsDialog, ChosenCombinationIsRungAndSilenced) {
    Trainer trainer(host);
    TrainingSetupDialog dialog(host, trainer);
    dialog.choose(PracticePart::ofGroups(kM | kB));
    EXPECT_EQ(dialog.plan().part, PracticePart::ofGroups(kM | kB));
    dialog.choose(PracticePart::ofGroups(kS | kM | kB));
    EXPECT_EQ(dialog.plan().part.code(), QStringLiteral("smb"));

    ASSERT_TRUE(trainer.startRun(PracticePart::ofGroups(kM | kB)));
    for (int bell = 0; bell < kBellCount; ++bell) {
        const bool practised = bell == 0 || bell == 1 || (bell >= 5 && bell <= 7);
        EXPECT_EQ(trainer.silences(bell), practised) << bell;
    }
    trainer.endRun();
}

// A combination with a group that has no bell is not offered.
TEST_F(SeveralGroupsDialog, CombinationWithAnEmptyGroupIsNotOffered) {
    host.bells = Ensemble();
    host.bells.applyText(QStringLiteral("110001110000000"), QStringLiteral("bbnnnmmmnnnnnnn"));
    Trainer trainer(host);
    TrainingSetupDialog dialog(host, trainer);
    auto* leftHand = dialog.findChild<QAbstractButton*>(QStringLiteral("rbTrainingGroupsmb"));
    auto* all = dialog.findChild<QAbstractButton*>(QStringLiteral("rbTrainingGroupssmb"));
    ASSERT_NE(leftHand, nullptr);
    ASSERT_NE(all, nullptr);
    EXPECT_TRUE(leftHand->isEnabled());
    EXPECT_FALSE(all->isEnabled());
    dialog.choose(PracticePart::ofGroups(kS | kM | kB));
    EXPECT_NE(dialog.plan().part.code(), QStringLiteral("smb"));
}

} // namespace
