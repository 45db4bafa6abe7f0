// The ringing choices against a fake host, without the main window: the
// selectors they make, the filters that fill the lists, and what a common or
// a group choice asks of the rest of the program.

#include "ringing/RingingChoices.h"
#include "base/RequiredFileCheck.h"
#include "base/TextCodec.h"
#include "base/WindowCaptions.h"
#include "bells/Ensemble.h"
#include "ringing/RingingChoicesHost.h"
#include "ringing/TChannels.h"
#include "ringing/TSoundData.h"
#include "support/MainWindowTest.h"

#include <QComboBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Ranges = RingingChoicesHost::Ranges;

class FakeHost : public RingingChoicesHost {
public:
    const Ensemble& ensemble() const override { return bells; }
    TSoundData* catalogue() override { return catalogueGone ? nullptr : &soundData; }
    TChannels& channels() override { return scores; }
    const TChannels& channels() const override { return scores; }
    QString campanelDir() const override { return QStringLiteral("/lib/"); }
    bool loadRinging(int index, const QString& path) override {
        loads << QStringLiteral("%1 %2").arg(index).arg(path);
        scores.score(index) = QStringList(loadedColumns, QStringLiteral("s1"));
        return true;
    }
    void showRingingName(const QString& name) override { title = captions::forRinging(name); }
    void showNoRinging() override { title = captions::kNoRinging; }
    void endRecording() override { ++recordingsEnded; }
    void resetPlayback() override {
        ++resets;
        keptGenerator = keepGenerator;
        keepGenerator = false;
        scores.clearScores();
        column = 0;
    }
    void applyRingingRanges(Ranges r) override { ranges << r; }
    void restorePlayPlace(int c) override { restoredAt = c; }
    int currentColumn() const override { return column; }
    void setCurrentPage(int p) override { page = p; }
    bool groupRingingMode() const override { return groupMode; }
    void setGroupRingingMode(bool on) override { groupMode = on; }
    void keepGeneratorOnNextReset() override { keepGenerator = true; }
    void uncheckPlayInTurn() override { ++playInTurnUnchecked; }
    bool notesShown() const override { return notes; }
    void redrawScore() override { ++redrawn; }
    void followCommonChoice(int index) override { followed << index; }

    Ensemble bells;
    TSoundData soundData;
    TChannels scores;
    bool catalogueGone = false;
    int loadedColumns = 300;
    QStringList loads;
    QString title;
    int recordingsEnded = 0;
    int resets = 0;
    bool keepGenerator = false;
    bool keptGenerator = false;
    QList<Ranges> ranges;
    int restoredAt = -1;
    int column = 0;
    int page = -1;
    bool groupMode = false;
    int playInTurnUnchecked = 0;
    bool notes = true;
    int redrawn = 0;
    QList<int> followed;
};

class RingingChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        const QString campanel = dir.path() + QStringLiteral("/");
        write(campanel, "small.kli", {"1;Трель;s1.kol", "3;Перебор малых;s2.kol"});
        write(campanel, "middle.kli", {"2;Ход;m1.kol"});
        write(campanel, "big.kli", {"1;Благовест;b1.kol"});
        write(campanel, "common.kli",
              {"111;Будничный;t1.kol", "541;Праздничный;t2.kol", "211;Трезвон;t3.kol"});
        RequiredFileCheck check;
        ASSERT_TRUE(host.soundData.load(campanel, check));

        window = std::make_unique<QWidget>();
        window->resize(600, 400);
        // The bands lie in one panel, the selectors in another beside it.
        auto* bandsPanel = new QWidget(window.get());
        bandsPanel->setGeometry(0, 30, 300, 300);
        for (int g = 0; g < kGroupCount; ++g) {
            bands[static_cast<size_t>(g)] = new QWidget(bandsPanel);
            bands[static_cast<size_t>(g)]->setGeometry(0, 100 * g, 300, 100);
        }
        selectorsPanel = new QWidget(window.get());
        selectorsPanel->setGeometry(300, 10, 208, 340);
        common = new QComboBox(window.get());
        common->addItem(kNoRingingItem);
        choices = new RingingChoices({common, selectorsPanel, bands}, host, window.get());
    }

    static void write(const QString& campanel, const char* name, const QStringList& lines) {
        ASSERT_TRUE(writeTextLines(campanel + QString::fromLatin1(name), lines));
    }

    // Selects the bells of small, middle and big groups of these sizes.
    void selectGroups(int small, int middle, int big) {
        int bell = 0;
        const int sizes[] = {small, middle, big};
        for (int g = 0; g < kGroupCount; ++g) {
            for (int i = 0; i < sizes[g]; ++i, ++bell) {
                host.bells.setSelected(bell, true);
                host.bells.setGroup(bell, ensembleGroupNumber(groupAt(g)));
            }
        }
    }

    void fill() {
        choices->FillCommonChoice();
        choices->FillGroupChoices();
    }

    void chooseCommon(int index) {
        common->setCurrentIndex(index);
        choices->cbCommonChange();
    }

    void chooseGroup(int group, int index) {
        choices->groupSelector(group)->setCurrentIndex(index);
        choices->cbCustomSelectionChange(group);
    }

    QTemporaryDir dir;
    FakeHost host;
    std::unique_ptr<QWidget> window;
    std::array<QWidget*, kGroupCount> bands{};
    QWidget* selectorsPanel = nullptr;
    QComboBox* common = nullptr;
    RingingChoices* choices = nullptr;
};

} // namespace

// The selectors exist only from createGroupSelectors to releaseGroupSelectors,
// with the names, tags and first item the window's controls had.
TEST_F(RingingChoicesTest, SelectorsAreMadeAndFreed) {
    EXPECT_EQ(choices->groupSelector(0), nullptr);
    choices->createGroupSelectors();
    for (int g = 0; g < kGroupCount; ++g) {
        QComboBox* selector = choices->groupSelector(g);
        ASSERT_NE(selector, nullptr);
        EXPECT_EQ(selector->objectName(), QStringLiteral("cbCustomSelection%1").arg(g));
        EXPECT_EQ(selector->property("tag").toInt(), g);
        EXPECT_EQ(selector->parentWidget(), selectorsPanel);
        EXPECT_EQ(selector->count(), 1);
        EXPECT_EQ(selector->itemText(0), kNoRingingItem);
        EXPECT_FALSE(selector->isEnabled());
        EXPECT_FALSE(selector->isEditable());
    }
    EXPECT_EQ(choices->groupSelector(-1), nullptr);
    EXPECT_EQ(choices->groupSelector(kGroupCount), nullptr);
    choices->releaseGroupSelectors();
    EXPECT_EQ(choices->groupSelector(0), nullptr);
    EXPECT_EQ(selectorsPanel->findChildren<QComboBox*>().size(), 0);
}

// Each selector stands level with its band (top + 2, mapped from the other
// panel), 4 from the left and as wide as the panel less 8.
TEST_F(RingingChoicesTest, SelectorsStandLevelWithTheirBands) {
    choices->createGroupSelectors();
    for (int g = 0; g < kGroupCount; ++g) {
        const QRect r = choices->groupSelector(g)->geometry();
        // Band g's top is 30 + 100 g in the window, the panel's top 10.
        EXPECT_EQ(r.top(), 30 + 100 * g - 10 + 2) << g;
        EXPECT_EQ(r.left(), 4);
        EXPECT_EQ(r.width(), 200);
    }
    bands[1]->move(0, 150);
    choices->layoutGroupSelectors();
    EXPECT_EQ(choices->groupSelector(1)->y(), 30 + 150 - 10 + 2);
}

// The lists offer what the group counts reach; item 0 is "Выбор звона",
// chosen, and the full view follows it.
TEST_F(RingingChoicesTest, FillingOffersWhatTheGroupsReach) {
    choices->createGroupSelectors();
    selectGroups(2, 1, 1);
    fill();
    EXPECT_TRUE(common->isEnabled());
    ASSERT_EQ(common->count(), 3);
    EXPECT_EQ(common->itemText(0), kNoRingingItem);
    EXPECT_EQ(common->itemText(1), QStringLiteral("Будничный"));
    EXPECT_EQ(common->itemText(2), QStringLiteral("Трезвон"));
    EXPECT_EQ(common->currentIndex(), 0);
    EXPECT_EQ(host.soundData.offered(TSoundData::kCommonList), (QStringList{"t1.kol", "t3.kol"}));
    EXPECT_EQ(host.followed.value(0), 0);
    // Small: 2 bells reach "1" only; middle: 1 bell reaches nothing.
    EXPECT_EQ(choices->groupSelector(0)->count(), 2);
    EXPECT_TRUE(choices->groupSelector(0)->isEnabled());
    EXPECT_EQ(choices->groupSelector(1)->count(), 1);
    EXPECT_FALSE(choices->groupSelector(1)->isEnabled());
    EXPECT_EQ(host.soundData.offered(TSoundData::kBigList), QStringList{"b1.kol"});
}

// No bells: nothing is offered, the common list is disabled with its first item.
TEST_F(RingingChoicesTest, NothingOfferedLeavesTheListsDisabled) {
    choices->createGroupSelectors();
    fill();
    EXPECT_FALSE(common->isEnabled());
    EXPECT_EQ(common->count(), 1);
    for (int g = 0; g < kGroupCount; ++g) {
        EXPECT_FALSE(choices->groupSelector(g)->isEnabled());
    }
}

// A common choice loads score 3 from the library, clears the group choices,
// leaves group-ringing mode and tells the full view.
TEST_F(RingingChoicesTest, CommonChoiceLoadsTheCommonScore) {
    choices->createGroupSelectors();
    selectGroups(2, 1, 1);
    fill();
    choices->groupSelector(0)->setCurrentIndex(1);
    host.groupMode = true;
    chooseCommon(2);
    EXPECT_EQ(host.loads, QStringList{"3 /lib/t3.kol"});
    EXPECT_EQ(host.title, QStringLiteral("Campanix 1.2 - Трезвон"));
    EXPECT_FALSE(host.groupMode);
    EXPECT_EQ(choices->groupSelector(0)->currentIndex(), 0);
    EXPECT_EQ(host.resets, 1);
    EXPECT_EQ(host.ranges, QList<Ranges>{Ranges::CommonChoice});
    EXPECT_EQ(host.recordingsEnded, 1);
    EXPECT_EQ(host.playInTurnUnchecked, 1);
    EXPECT_EQ(host.redrawn, 1);
    EXPECT_EQ(host.followed.last(), 2);
    EXPECT_EQ(choices->commonScoreSize(), 300);
    EXPECT_EQ(choices->commonScoreLine(0), QStringLiteral("s1"));
    EXPECT_EQ(choices->commonScoreLine(300), QString());
}

// The same ringing again keeps the column playback stood at; a refill in
// between, or another ringing, forgets it.
TEST_F(RingingChoicesTest, SameCommonChoiceAgainKeepsThePlace) {
    selectGroups(2, 1, 1);
    fill();
    chooseCommon(1);
    EXPECT_EQ(host.restoredAt, -1);
    host.column = 100;
    chooseCommon(1);
    EXPECT_EQ(host.restoredAt, 100);

    host.restoredAt = -1;
    host.column = 50;
    fill();
    chooseCommon(1);
    EXPECT_EQ(host.restoredAt, -1);

    host.column = 50;
    chooseCommon(2);
    EXPECT_EQ(host.restoredAt, -1);
    // A remembered column past the reloaded score is not restored.
    host.loadedColumns = 10;
    host.column = 20;
    chooseCommon(2);
    EXPECT_EQ(host.restoredAt, -1);
}

// Item 0 of the common list: no ringing, playback reset, nothing loaded.
TEST_F(RingingChoicesTest, CommonChoiceOfNoRinging) {
    selectGroups(2, 1, 1);
    fill();
    chooseCommon(0);
    EXPECT_TRUE(host.loads.isEmpty());
    EXPECT_EQ(host.title, QStringLiteral("Campanix 1.2 - Tolvena"));
    EXPECT_EQ(host.resets, 1);
    EXPECT_EQ(host.followed.last(), 0);
}

// After a choice the common list pauses for 150 ms and then takes the focus
// again, unless a refill came in between.
TEST_F(RingingChoicesTest, CommonListPausesAfterAChoice) {
    selectGroups(2, 1, 1);
    fill();
    chooseCommon(1);
    EXPECT_FALSE(common->isEnabled());
    EXPECT_TRUE(waitFor([this] { return common->isEnabled(); }, 2000));

    chooseCommon(1);
    host.bells.clear();
    choices->FillCommonChoice();
    waitFor([] { return false; }, 300);
    EXPECT_FALSE(common->isEnabled());
}

// The first group choice after a common ringing switches group-ringing mode
// on and resets playback keeping the generator; further ones only load.
TEST_F(RingingChoicesTest, GroupChoicesFormOneRinging) {
    choices->createGroupSelectors();
    selectGroups(2, 1, 1);
    fill();
    common->setCurrentIndex(1);
    host.loadedColumns = 128;
    chooseGroup(0, 1);
    EXPECT_TRUE(host.groupMode);
    EXPECT_EQ(host.resets, 1);
    EXPECT_TRUE(host.keptGenerator);
    EXPECT_EQ(common->currentIndex(), 0);
    EXPECT_EQ(host.followed.last(), 0);
    EXPECT_EQ(host.loads, QStringList{"0 /lib/s1.kol"});
    EXPECT_EQ(host.ranges.last(), Ranges::GroupChoice);
    EXPECT_EQ(host.page, 0);
    EXPECT_EQ(host.title, QStringLiteral("Campanix 1.2 - Tolvena"));

    chooseGroup(2, 1);
    EXPECT_EQ(host.resets, 1);
    EXPECT_EQ(host.loads.last(), QStringLiteral("2 /lib/b1.kol"));
    EXPECT_FALSE(host.scores.score(0).isEmpty());

    // "Выбор звона" silences that group only.
    chooseGroup(0, 0);
    EXPECT_TRUE(host.scores.score(0).isEmpty());
    EXPECT_FALSE(host.scores.score(2).isEmpty());
    EXPECT_EQ(host.playInTurnUnchecked, 3);
}

// ClearChoices puts every list at item 0 without running a choice.
TEST_F(RingingChoicesTest, ClearChoicesRunsNoChoice) {
    choices->createGroupSelectors();
    selectGroups(2, 1, 1);
    fill();
    common->setCurrentIndex(2);
    choices->groupSelector(0)->setCurrentIndex(1);
    choices->ClearChoices();
    EXPECT_EQ(common->currentIndex(), 0);
    EXPECT_EQ(choices->groupSelector(0)->currentIndex(), 0);
    EXPECT_EQ(host.followed.last(), 0);
    EXPECT_EQ(host.resets, 0);
    EXPECT_TRUE(host.loads.isEmpty());
}

// Once the catalogue is gone (shutdown) the lists are left empty and a
// choice loads nothing.
TEST_F(RingingChoicesTest, WithoutCatalogueNothingIsLoaded) {
    choices->createGroupSelectors();
    selectGroups(2, 1, 1);
    fill();
    host.catalogueGone = true;
    chooseCommon(1);
    EXPECT_TRUE(host.loads.isEmpty());
    choices->FillCommonChoice();
    EXPECT_EQ(common->count(), 0);
}

// A group index out of range is no choice.
TEST_F(RingingChoicesTest, GroupOutOfRangeIsIgnored) {
    choices->createGroupSelectors();
    choices->cbCustomSelectionChange(3);
    choices->cbCustomSelectionChange(-1);
    EXPECT_EQ(host.recordingsEnded, 0);
    EXPECT_FALSE(choices->isGroupAnimated(3));
}
