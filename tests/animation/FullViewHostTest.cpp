// The full view and the workers against a fake host, without the main
// window: what they build, and what they ask of the host.

#include "animation/AnimationHost.h"
#include "animation/AnimationWorkers.h"
#include "animation/BellAnimation.h"
#include "animation/FullView.h"
#include "bells/Ensemble.h"
#include "support/MainWindowTest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLayout>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

class FakeHost : public AnimationHost {
public:
    explicit FakeHost(QWidget* window) : usualPanel(new QWidget(window)), common(new QComboBox(window)) {
        for (auto& selector : selectors) {
            selector = new QComboBox(window);
            selector->addItems({QStringLiteral("-"), QStringLiteral("А"), QStringLiteral("Б")});
        }
        common->addItems({QStringLiteral("-"), QStringLiteral("Общий")});
    }

    const Ensemble& ensemble() const override { return bells; }
    bool isGroupAnimated(BellGroup) const override { return true; }
    bool isAnimationOn() const override { return true; }
    QString animateDir() const override { return {}; }
    QString bigAnimateDir() const override { return {}; }
    QWidget* usualPicturesPanel() const override { return usualPanel; }
    QWidget* groupBand(BellGroup) const override { return nullptr; }
    QComboBox* groupSelector(BellGroup group) const override { return selectors[groupIndex(group)]; }
    QComboBox* commonSelector() const override { return common; }
    int usualStyle() const override { return style; }
    void setUsualStyle(int s) override { style = s; }
    void enableStyleSelectors(bool) override {}
    void stopResetTimer() override {}
    void prepareFullView() override { ++prepared; }
    void showUsualView() override { ++usualShown; }
    void setFullViewChecked(bool checked) override { fullViewChecked = checked; }
    int currentPage() const override { return 0; }
    int currentColumn() const override { return 0; }
    QStringList groupScore(BellGroup) const override { return {}; }
    void redrawScore() override { ++redrawn; }
    void groupRingingChosen(BellGroup group) override { chosenGroup = groupIndex(group); }
    void commonRingingChosen() override {}
    void PlaceScoreCursor() override { ++cursorPlaced; }
    void ShowStrikeFrame(int bell) override { struck = bell; }
    void ResetBellImages() override { ++reset; }

    Ensemble bells;
    QWidget* usualPanel = nullptr;
    QComboBox* common = nullptr;
    std::array<QComboBox*, kGroupCount> selectors{};
    int style = 0;
    int prepared = 0;
    int usualShown = 0;
    int redrawn = 0;
    int chosenGroup = -1;
    int cursorPlaced = 0;
    int struck = -1;
    int reset = 0;
    bool fullViewChecked = false;
};

class FullViewHost : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        window = std::make_unique<QWidget>();
        window->resize(1000, 700);
        area = new QWidget(window.get());
        area->resize(1000, 700);
        host = std::make_unique<FakeHost>(window.get());
        animation = new BellAnimation(*host, window.get());
        full = new FullView(area, *host, *animation);
    }
    void TearDown() override {
        host.reset();
        window.reset();
    }

    std::unique_ptr<QWidget> window;
    QWidget* area = nullptr;
    std::unique_ptr<FakeHost> host;
    BellAnimation* animation = nullptr;
    FullView* full = nullptr;
};

} // namespace

// The panel keeps its design: every control by its name, hidden until the
// view is entered, and the group selectors numbered small to big but shown
// big to small (the order of the score columns below them).
TEST_F(FullViewHost, BuildsItsPanelHiddenWithTheSelectorsInScreenOrder) {
    for (const char* name :
         {"pnlFullView", "pnlPTools", "cbCustomBells1", "cbCustomBells2", "cbCustomBells3", "cbFullCommon",
          "btnUsualView", "cbFullView", "pnlNotes", "pnlBigBellsTitle", "pnlMiddleBellsTitle",
          "pnlSmallBellsTitle", "pnlBellNotes1", "pnlBellNotes2", "pnlBellNotes3", "pnlImages"}) {
        EXPECT_NE(area->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    }
    EXPECT_EQ(full->panel()->objectName(), QStringLiteral("pnlFullView"));
    EXPECT_FALSE(full->panel()->isVisibleTo(area));
    EXPECT_EQ(full->groupSelector(BellGroup::Small)->objectName(), QStringLiteral("cbCustomBells1"));
    EXPECT_EQ(full->groupSelector(BellGroup::Big)->objectName(), QStringLiteral("cbCustomBells3"));
    EXPECT_LT(full->groupSelector(BellGroup::Big)->x(), full->groupSelector(BellGroup::Middle)->x());
    EXPECT_LT(full->groupSelector(BellGroup::Middle)->x(), full->groupSelector(BellGroup::Small)->x());
    EXPECT_EQ(full->styleSelector()->objectName(), QStringLiteral("cbFullView"));
    EXPECT_EQ(full->commonSelector()->objectName(), QStringLiteral("cbFullCommon"));
    // The big group's score is the left column, beside the big group's selector.
    const auto* bigNotes = area->findChild<QFrame*>(QStringLiteral("pnlBellNotes1"));
    const auto* smallNotes = area->findChild<QFrame*>(QStringLiteral("pnlBellNotes3"));
    ASSERT_TRUE(bigNotes && smallNotes);
    window->show();
    full->btnFullViewClick();
    ASSERT_TRUE(waitFor([&] { return smallNotes->x() > 0; }));
    EXPECT_LT(bigNotes->mapTo(area, QPoint()).x(), smallNotes->mapTo(area, QPoint()).x());
}

// A choice in a group's mirror reaches that group's selector and no other:
// a swapped index would load the wrong group's ringing.
TEST_F(FullViewHost, CarriesEachGroupsChoiceToItsOwnSelector) {
    for (BellGroup group : {BellGroup::Small, BellGroup::Middle, BellGroup::Big}) {
        SCOPED_TRACE(groupIndex(group));
        for (QComboBox* selector : host->selectors) {
            selector->setCurrentIndex(0);
        }
        full->btnFullViewClick();
        QComboBox* mirror = full->groupSelector(group);
        ASSERT_EQ(mirror->count(), 3);
        mirror->setCurrentIndex(2);
        emit mirror->activated(2);
        EXPECT_EQ(host->chosenGroup, groupIndex(group));
        for (int other = 0; other < kGroupCount; ++other) {
            EXPECT_EQ(host->selectors[other]->currentIndex(), other == groupIndex(group) ? 2 : 0) << other;
        }
        full->btnUsualViewClick();
    }
}

// Entering and leaving go through the host: the style both ways, the window
// around the view, the menu item, the score and the pictures at rest.
TEST_F(FullViewHost, EnterAndLeaveAskTheHost) {
    host->style = 1;
    full->btnFullViewClick();
    EXPECT_TRUE(full->isActive());
    EXPECT_TRUE(host->fullViewChecked);
    EXPECT_EQ(host->prepared, 1);
    EXPECT_EQ(host->reset, 1);
    EXPECT_TRUE(full->panel()->isVisibleTo(area));
    EXPECT_EQ(full->styleSelector()->currentIndex(), 1);
    EXPECT_EQ(full->commonSelector()->count(), host->common->count());

    full->styleSelector()->setCurrentIndex(0);
    emit full->usualViewButton()->clicked();
    EXPECT_FALSE(full->isActive());
    EXPECT_FALSE(host->fullViewChecked);
    EXPECT_EQ(host->style, 0);
    EXPECT_EQ(host->usualShown, 1);
    EXPECT_EQ(host->redrawn, 1);
    EXPECT_FALSE(full->panel()->isVisibleTo(area));
}

// The common list's choice shows in the mirror only when the mirror has it.
TEST_F(FullViewHost, FollowsTheCommonChoiceItHas) {
    full->followCommonChoice(0);
    EXPECT_EQ(full->commonSelector()->currentIndex(), -1);
    full->btnFullViewClick();
    full->followCommonChoice(1);
    EXPECT_EQ(full->commonSelector()->currentIndex(), 1);
    full->followCommonChoice(2);
    EXPECT_EQ(full->commonSelector()->currentIndex(), 1);
}

// The workers run their operations on the host; the strike worker's
// start-up hand-over, before any strike, shows nothing.
TEST_F(FullViewHost, WorkersCallTheHost) {
    {
        AnimationWorkers workers(*host);
        ASSERT_TRUE(waitFor([&] {
            return workers.imagePos().isFinished() && workers.bellPosition().isFinished() &&
                   workers.scroll().isFinished();
        }));
        QCoreApplication::processEvents();
        EXPECT_EQ(host->reset, 1);
        EXPECT_EQ(host->cursorPlaced, 1);
        EXPECT_EQ(host->struck, -1);
        workers.showStrikeFrame(7);
        EXPECT_EQ(host->struck, 7);
    }
}
