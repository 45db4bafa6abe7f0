// The bell animation and the full view inside the real main window,
// offscreen, over a small program folder with animation pictures.

#include "animation/AnimationWorkers.h"
#include "animation/BellAnimation.h"
#include "animation/BellAnimationPicture.h"
#include "animation/BellAnimationPictures.h"
#include "animation/FullScoreImage.h"
#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "ringing/RingingChoices.h"
#include "ringing/RingingLoader.h"
#include "support/MainWindowTest.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace animation;
using Kind = ShownPicture::Kind;
using View = BellAnimationState::View;

namespace {

// Every frame, accord.bmp and disable.bmp, each a plain colour on white.
void writePictures(const QString& folder, QSize size) {
    QDir().mkpath(folder);
    int shade = 0;
    for (int set = 0; set < kSetCount; ++set) {
        for (int frame = 0; frame < kFramesPerSet; ++frame) {
            for (FrameStyle style : {FrameStyle::General, FrameStyle::Schematic}) {
                QImage image(size, QImage::Format_RGB32);
                image.fill(QColor(40 + shade % 200, 80, 120));
                ++shade;
                image.save(folder + frameFileName(set, frame, style), "BMP");
            }
        }
    }
    for (const char* name : {"accord.bmp", "disable.bmp"}) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.save(folder + QLatin1String(name), "BMP");
    }
}

class AnimationWindow : public MainWindowTest {
protected:
    // Fifteen bells: big 0-4, middle 5-9, small 10-14, unless told otherwise.
    TfrmMain& start(const QString& bells = QStringLiteral("111111111111111"),
                    const QString& types = QStringLiteral("bbbbbmmmmmsssss")) {
        writePictures(program.dir() + QStringLiteral("Animate/"), QSize(129, 60));
        writePictures(program.dir() + QStringLiteral("BigAnimate/"), QSize(36, 17));
        program.writeBells(bells, types);
        TfrmMain& w = startWith({});
        animationOf = w.bellAnimation();
        return w;
    }
    ShownPicture shown(int group, View view = View::Usual) const {
        return animationOf->state().shown(view, group);
    }
    // The place widget paints what the state says, a picture read at start-up.
    void expectPlaceShowsState(View view) const {
        for (int group = 0; group < kGroupCount; ++group) {
            const BellAnimationPicture* place = animationOf->place(view, group);
            ASSERT_NE(place, nullptr);
            const QPixmap& expected = animationOf->pictures(view).picture(shown(group, view));
            ASSERT_FALSE(expected.isNull()) << "group " << group;
            EXPECT_EQ(place->picture(), &expected) << "group " << group;
        }
    }

    BellAnimation* animationOf = nullptr;
};

} // namespace

// Start-up: rest frames of the general style; each worker hands its
// operation over once, and the strike worker's first hand-over shows nothing.
TEST_F(AnimationWindow, StartsAtRestAndEachWorkerHandsOverOnce) {
    TfrmMain& w = start();
    ASSERT_NE(animationOf, nullptr);
    ASSERT_NE(w.animationWorkers(), nullptr);
    AnimationWorkers& workers = *w.animationWorkers();
    ASSERT_TRUE(waitFor([&] {
        return workers.imagePos().isFinished() && workers.bellPosition().isFinished() &&
               workers.scroll().isFinished();
    }));
    QCoreApplication::processEvents();
    EXPECT_EQ(workers.imagePos().performed(), 1);
    EXPECT_EQ(workers.bellPosition().performed(), 1);
    EXPECT_EQ(workers.scroll().performed(), 1);
    EXPECT_EQ(shown(0), ShownPicture::frameOf(kSmallSet, 0, FrameStyle::General));
    EXPECT_EQ(shown(1), ShownPicture::frameOf(kMiddleSet, 0, FrameStyle::General));
    EXPECT_EQ(shown(2), ShownPicture::frameOf(kBigSet, 0, FrameStyle::General));
    expectPlaceShowsState(View::Usual);
    // The pictures lie below each group's ringing selector.
    const QComboBox* selector = w.choices().groupSelector(1);
    ASSERT_NE(selector, nullptr);
    EXPECT_GT(animationOf->place(View::Usual, 1)->y(), animationOf->place(View::Usual, 0)->y());
}

// A window closed before its event loop ever ran must not wait for the
// workers' hand-overs.
TEST_F(AnimationWindow, ClosesBeforeTheWorkersAreServed) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 3; ++i) {
        start();
        frm.reset();
    }
    EXPECT_LT(clock.elapsed(), 60000);
}

// A strike made during start-up, before the workers' hand-overs are served
// (as a file opened from the desktop once did): the strike worker's hand-over
// repeats nothing, and the reset timer still returns the bell to rest.
TEST_F(AnimationWindow, StrikeBeforeTheWorkersAreServedIsNotRepeated) {
    writePictures(program.dir() + QStringLiteral("Animate/"), QSize(129, 60));
    writePictures(program.dir() + QStringLiteral("BigAnimate/"), QSize(36, 17));
    program.writeBells(QStringLiteral("111111111111111"), QStringLiteral("bbbbbmmmmmsssss"));
    frm =
        std::make_unique<TfrmMain>([this](const QString& m) { reports << m; }, program.dir(), QStringList{});
    TfrmMain& w = *frm;
    animationOf = w.bellAnimation();
    if (!control<QCheckBox>(w, "cbShowMovie")->isChecked()) {
        control<QCheckBox>(w, "cbShowMovie")->click();
    }
    AnimationWorkers& workers = *w.animationWorkers();
    w.HandStrike(9); // no event served yet: the hand-overs are still queued
    const int strikes = workers.bellPosition().performed();
    EXPECT_EQ(shown(1), ShownPicture::frameOf(kMiddleSet, 5, FrameStyle::General));
    ASSERT_TRUE(waitFor([&] {
        return workers.imagePos().served() && workers.bellPosition().served() && workers.scroll().served();
    }));
    QCoreApplication::processEvents();
    EXPECT_EQ(workers.bellPosition().performed(), strikes + 1); // the hand-over, counted
    // Back at rest once the reset timer has run, not two seconds later.
    EXPECT_TRUE(waitFor([&] { return shown(1).frame == 0; }, 600));
}

// The reset comes 150 ms after the last strike, not the first.
TEST_F(AnimationWindow, HandStrikesShowFramesUntil150msAfterTheLast) {
    TfrmMain& w = start();
    // Every worker's one hand-over done first: the image worker's is a reset,
    // which would otherwise land between the strikes on a busy machine.
    AnimationWorkers& workers = *w.animationWorkers();
    ASSERT_TRUE(waitFor([&] {
        return workers.imagePos().isFinished() && workers.bellPosition().isFinished() &&
               workers.scroll().isFinished();
    }));
    QCoreApplication::processEvents();
    w.HandStrike(9); // the fifth and last middle bell
    EXPECT_EQ(shown(1), ShownPicture::frameOf(kMiddleSet, 5, FrameStyle::General));
    EXPECT_TRUE(control<QTimer>(w, "mmResetTimer")->isActive());
    QThread::msleep(100);
    w.HandStrike(5);
    QElapsedTimer sinceLast;
    sinceLast.start();
    EXPECT_EQ(shown(1), ShownPicture::frameOf(kMiddleSet, 1, FrameStyle::General));
    EXPECT_GT(control<QTimer>(w, "mmResetTimer")->remainingTime(), 100);
    expectPlaceShowsState(View::Usual);
    ASSERT_TRUE(waitFor([&] { return shown(1).frame == 0; }));
    EXPECT_GE(sinceLast.elapsed(), 140);
    EXPECT_FALSE(control<QTimer>(w, "mmResetTimer")->isActive());
}

// Fewer than five bells: a hand strike sounds but changes no picture.
TEST_F(AnimationWindow, FewerThanFiveBellsShowNothing) {
    TfrmMain& w = start(QStringLiteral("000000000001111"), QStringLiteral("nnnnnnnnnnnbmss"));
    const ShownPicture before[] = {shown(0), shown(1), shown(2)};
    w.HandStrike(11);
    w.HandStrike(13);
    for (int group = 0; group < kGroupCount; ++group) {
        EXPECT_EQ(shown(group), before[group]);
    }
}

// Animation off: the off pictures at once, the style selector disabled, strikes ignored.
TEST_F(AnimationWindow, AnimationOffFreezesTheOffPictures) {
    TfrmMain& w = start();
    w.HandStrike(2);
    control<QCheckBox>(w, "cbShowMovie")->click();
    ASSERT_FALSE(control<QCheckBox>(w, "cbShowMovie")->isChecked());
    EXPECT_FALSE(control<QComboBox>(w, "cbView")->isEnabled());
    EXPECT_FALSE(control<QTimer>(w, "mmResetTimer")->isActive());
    w.HandStrike(7);
    w.StrikeColumn(0);
    for (int group = 0; group < kGroupCount; ++group) {
        EXPECT_EQ(shown(group).kind, Kind::AnimationOff);
    }
    expectPlaceShowsState(View::Usual);
    control<QCheckBox>(w, "cbShowMovie")->click();
    EXPECT_TRUE(control<QComboBox>(w, "cbView")->isEnabled());
    EXPECT_EQ(shown(2), ShownPicture::frameOf(kBigSet, 0, FrameStyle::General));
}

// A ringing whose header marks the middle group as played in chords: its
// picture says so, and playback strikes of that group change nothing.
TEST_F(AnimationWindow, ChordGroupShowsItsCaptionDuringPlayback) {
    TfrmMain& w = start();
    ASSERT_TRUE(w.loader().loadRingingLines(
        3, {QStringLiteral("144;m-"), QStringLiteral("m1,m2,b1"), QStringLiteral("s3")}));
    EXPECT_EQ(shown(1).kind, Kind::Chords);
    w.StrikeColumn(0);
    EXPECT_EQ(shown(1).kind, Kind::Chords);
    EXPECT_EQ(shown(2), ShownPicture::frameOf(kBigSet, 1, FrameStyle::General));
    expectPlaceShowsState(View::Usual);
    // A ringing without marks takes the caption away.
    ASSERT_TRUE(w.loader().loadRingingLines(3, {QStringLiteral("144"), QStringLiteral("m1")}));
    EXPECT_EQ(shown(1), ShownPicture::frameOf(kMiddleSet, 0, FrameStyle::General));
}

// "Анимация отключена" is written small enough to end inside the 129-pixel picture.
TEST_F(AnimationWindow, CaptionsFitTheirPictures) {
    ensureQtApplication();
    QFont large;
    large.setPixelSize(20);
    for (const QFont& base : {QFont(), large}) {
        const QFont font = captionFont(base, kAnimationOffCaption, kAnimationOffCaptionAt, 129);
        EXPECT_LE(kAnimationOffCaptionAt.x() + QFontMetrics(font).horizontalAdvance(kAnimationOffCaption),
                  127);
    }
    // Written onto a white picture, the caption shows and the white goes.
    const QString path = program.dir() + QStringLiteral("white.bmp");
    QImage white(129, 60, QImage::Format_RGB32);
    white.fill(Qt::white);
    white.save(path, "BMP");
    const QImage captioned = captionedPicture(path, kAnimationOffCaption, kAnimationOffCaptionAt, QFont());
    ASSERT_FALSE(captioned.isNull());
    EXPECT_EQ(qAlpha(captioned.pixel(2, 2)), 0);
    int inked = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 129; ++x) {
            inked += qAlpha(captioned.pixel(x, y)) != 0;
            if (qAlpha(captioned.pixel(x, y)) != 0) {
                EXPECT_GE(x, 10);
                EXPECT_GE(y, 26);
                EXPECT_LT(x, 127);
            }
        }
    }
    EXPECT_GT(inked, 50);
    EXPECT_TRUE(captionedPicture(program.dir() + QStringLiteral("none.bmp"), kChordsCaption, kChordsCaptionAt,
                                 QFont())
                    .isNull());
}

// Entering carries the style and the selector choices to the full view,
// leaving carries them back.
TEST_F(AnimationWindow, FullViewCarriesStyleAndChoicesBothWays) {
    TfrmMain& w = start();
    control<QComboBox>(w, "cbView")->setCurrentIndex(1);
    w.cbViewChange();
    QComboBox* small = w.choices().groupSelector(0);
    ASSERT_NE(small, nullptr);
    small->addItems({QStringLiteral("Звон А"), QStringLiteral("Звон Б")});
    small->setCurrentIndex(2);

    w.btnFullViewClick();
    EXPECT_TRUE(w.isFullViewActive());
    EXPECT_TRUE(control<QAction>(w, "nFullView")->isChecked());
    EXPECT_FALSE(control<QWidget>(w, "pnlBells")->isVisibleTo(control(w, "pnlUsualView")));
    EXPECT_EQ(w.fullView()->styleSelector()->currentText(), QStringLiteral("Схематический вид"));
    EXPECT_EQ(w.fullView()->groupSelector(BellGroup::Small)->count(), small->count());
    EXPECT_EQ(w.fullView()->groupSelector(BellGroup::Small)->currentIndex(), 2);
    EXPECT_EQ(w.fullView()->commonSelector()->count(), control<QComboBox>(w, "cbCommon")->count());
    EXPECT_EQ(shown(1, View::Full), ShownPicture::frameOf(kMiddleSet, 0, FrameStyle::Schematic));
    // Strikes reach the big pictures, not the usual ones.
    w.HandStrike(0);
    EXPECT_EQ(shown(2, View::Full), ShownPicture::frameOf(kBigSet, 1, FrameStyle::Schematic));
    EXPECT_EQ(shown(2, View::Usual), ShownPicture::frameOf(kBigSet, 0, FrameStyle::Schematic));
    expectPlaceShowsState(View::Full);

    w.fullView()->styleSelector()->setCurrentIndex(0);
    w.fullView()->cbFullViewChange();
    w.fullView()->groupSelector(BellGroup::Small)->setCurrentIndex(1);
    control<QAction>(w, "nFullView")->trigger();
    EXPECT_FALSE(w.isFullViewActive());
    EXPECT_FALSE(control<QAction>(w, "nFullView")->isChecked());
    EXPECT_EQ(control<QComboBox>(w, "cbView")->currentIndex(), 0);
    EXPECT_EQ(shown(2), ShownPicture::frameOf(kBigSet, 0, FrameStyle::General));
    EXPECT_EQ(small->currentIndex(), 1);
    EXPECT_TRUE(control<QWidget>(w, "pnlBells")->isVisibleTo(control(w, "pnlUsualView")));
}

// While the full view is shown the bottom row's cbView and cbFullView show
// one style, whichever of them the user chooses, and leaving the full view
// keeps the last choice. cbFullView shows "Схематический вид" whole.
TEST_F(AnimationWindow, FullViewStyleSelectorsAgree) {
    TfrmMain& w = start();
    w.resize(778, 574);
    w.show();
    auto* usual = control<QComboBox>(w, "cbView");
    auto* full = control<QComboBox>(w, "cbFullView");
    ASSERT_TRUE(usual && full);
    const auto choose = [](QComboBox* combo, int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    w.btnFullViewClick();
    choose(usual, 1);
    EXPECT_EQ(full->currentIndex(), 1);
    EXPECT_EQ(shown(1, View::Full), ShownPicture::frameOf(kMiddleSet, 0, FrameStyle::Schematic));
    choose(full, 0);
    EXPECT_EQ(usual->currentIndex(), 0);
    choose(usual, 1);
    w.btnUsualViewClick();
    EXPECT_EQ(usual->currentIndex(), 1);
    EXPECT_EQ(shown(1), ShownPicture::frameOf(kMiddleSet, 0, FrameStyle::Schematic));

    w.btnFullViewClick();
    ASSERT_EQ(full->currentText(), QStringLiteral("Схематический вид"));
    QStyleOptionComboBox option;
    option.initFrom(full);
    option.currentText = full->currentText();
    const QRect field =
        full->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, full);
    EXPECT_GE(field.width(), full->fontMetrics().horizontalAdvance(full->currentText()));
    // Still inside the tool row, right of the usual-view button.
    EXPECT_LE(full->geometry().right(), control(w, "pnlPTools")->contentsRect().right());
    EXPECT_GT(full->x(), control(w, "btnUsualView")->geometry().right());
}

// At 1024 x 600 and at the smallest window each usual-view picture stays
// between its own selector and the next group's, and the full view's three
// pictures stay inside pnlImages without overlapping.
TEST_F(AnimationWindow, PicturesKeepToTheirPlacesInSmallWindows) {
    TfrmMain& w = start();
    w.show();
    auto* panel = control(w, "pnlCustomSelections");
    auto* images = control(w, "pnlImages");
    ASSERT_TRUE(panel && images);
    for (QSize size : {QSize(1024, 600), w.minimumSize()}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        w.btnUsualViewClick();
        w.resize(size);
        QCoreApplication::processEvents();
        for (int group = 0; group < kGroupCount; ++group) {
            const QRect place = animationOf->place(View::Usual, group)->geometry();
            EXPECT_GE(place.height(), 30) << group;
            EXPECT_GT(place.top(), w.choices().groupSelector(group)->geometry().bottom()) << group;
            const int end = group + 1 < kGroupCount ? w.choices().groupSelector(group + 1)->y()
                                                    : panel->contentsRect().bottom() + 1;
            EXPECT_LT(place.bottom(), end) << group;
        }
        w.btnFullViewClick();
        QCoreApplication::processEvents();
        std::array<QRect, kGroupCount> places;
        for (int group = 0; group < kGroupCount; ++group) {
            places[group] = animationOf->place(View::Full, group)->geometry();
            EXPECT_TRUE(images->contentsRect().contains(places[group])) << group;
            for (int other = 0; other < group; ++other) {
                EXPECT_FALSE(places[group].intersects(places[other])) << group << " " << other;
            }
        }
    }
}

// The animation switched off in the full view stays off in the usual view.
TEST_F(AnimationWindow, AnimationSwitchCarriesAcrossViews) {
    TfrmMain& w = start();
    w.btnFullViewClick();
    control<QCheckBox>(w, "cbShowMovie")->click();
    EXPECT_EQ(shown(0, View::Full).kind, Kind::AnimationOff);
    EXPECT_FALSE(w.fullView()->styleSelector()->isEnabled());
    w.btnUsualViewClick();
    EXPECT_EQ(shown(0).kind, Kind::AnimationOff);
    control<QCheckBox>(w, "cbShowMovie")->click();
    w.btnFullViewClick();
    EXPECT_EQ(shown(0, View::Full), ShownPicture::frameOf(kSmallSet, 0, FrameStyle::General));
}

// The full view draws the current page: lanes in black, dots in the group colours.
TEST_F(AnimationWindow, FullViewDrawsLanesAndDots) {
    TfrmMain& w = start();
    w.resize(1200, 900);
    w.show();
    ASSERT_TRUE(w.loader().loadRingingLines(3, {QStringLiteral("144"), QStringLiteral("s1,m1,b1")}));
    w.btnFullViewClick();
    ASSERT_TRUE(waitFor([&] { return control<QWidget>(w, "pnlBellNotes1")->height() > 300; }));
    QCoreApplication::processEvents();
    for (int group = 0; group < 3; ++group) {
        const FullScoreImage* image = w.fullView()->scoreImage(group);
        ASSERT_NE(image, nullptr);
        const int width = image->width();
        // Five bells: the first lane at 1/6 of the width.
        const int lane = qRound(width / 6.0);
        const int x = group == 2 ? lane : width - lane;
        const QColor dot = image->surface().pixelColor(x, 10);
        EXPECT_EQ(dot, FullView::groupColour(group)) << "group " << group;
        EXPECT_EQ(image->surface().pixelColor(x, image->height() / 2 + 20), QColor(Qt::black)) << group;
    }
    // The cursor bars stand at the first column.
    EXPECT_EQ(w.fullView()->cursorBar(0)->y(),
              control<QWidget>(w, "pnlBellNotes3")->contentsRect().top() + 7);
}

// Missing and damaged pictures leave their places empty; strikes, resets and
// the views go on without them.
TEST_F(AnimationWindow, MissingOrDamagedPicturesLeaveEmptyPlaces) {
    const QString folder = program.dir() + QStringLiteral("Animate/");
    writePictures(program.dir() + QStringLiteral("BigAnimate/"), QSize(36, 17));
    QDir().mkpath(folder);
    QFile damaged(folder + QStringLiteral("m_0.bmp"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("BM this is not a picture");
    damaged.close();
    program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=111111111111111"),
                           QStringLiteral("Types=bbbbbmmmmmsssss")});
    TfrmMain& w = startWith({});
    animationOf = w.bellAnimation();
    ASSERT_NE(animationOf, nullptr);
    for (int group = 0; group < kGroupCount; ++group) {
        EXPECT_EQ(animationOf->place(View::Usual, group)->picture(), nullptr);
    }
    w.HandStrike(6);
    EXPECT_EQ(shown(1), ShownPicture::frameOf(kMiddleSet, 2, FrameStyle::General));
    EXPECT_EQ(animationOf->place(View::Usual, 1)->picture(), nullptr);
    ASSERT_TRUE(w.loader().loadRingingLines(3, {QStringLiteral("144;s-"), QStringLiteral("s1")}));
    EXPECT_EQ(shown(0).kind, Kind::Chords);
    EXPECT_EQ(animationOf->place(View::Usual, 0)->picture(), nullptr);
    w.btnFullViewClick();
    control<QCheckBox>(w, "cbShowMovie")->click();
    w.btnUsualViewClick();
    EXPECT_EQ(shown(2).kind, Kind::AnimationOff);
}

// A played column reaches the pictures through the strike worker: of two
// middle bells in one column the later token's bell stays, and the reset
// timer runs.
TEST_F(AnimationWindow, PlayedColumnLeavesTheLaterBellOfAGroup) {
    TfrmMain& w = start();
    ASSERT_TRUE(w.loader().loadRingingLines(3, {QStringLiteral("144"), QStringLiteral("m1,m3,s2")}));
    const int before = w.animationWorkers()->bellPosition().performed();
    w.StrikeColumn(0);
    EXPECT_EQ(w.animationWorkers()->bellPosition().performed(), before + 3);
    // m1 is the smallest middle bell (rank 5), m3 the third from it (rank 3).
    EXPECT_EQ(shown(1), ShownPicture::frameOf(kMiddleSet, 3, FrameStyle::General));
    EXPECT_EQ(shown(0), ShownPicture::frameOf(kSmallSet, 4, FrameStyle::General));
    EXPECT_TRUE(control<QTimer>(w, "mmResetTimer")->isActive());
}

// The full view's large pictures and score surfaces are read and made when
// the view is first entered, not at start-up; entered in the middle of a
// ringing, it shows its own frames from the first strike on, and entering
// again reads nothing anew.
TEST_F(AnimationWindow, FullViewPicturesComeWithTheFirstEntry) {
    TfrmMain& w = start();
    EXPECT_FALSE(animationOf->fullPicturesLoaded());
    for (int group = 0; group < kGroupCount; ++group) {
        EXPECT_EQ(animationOf->place(View::Full, group)->picture(), nullptr) << group;
        EXPECT_TRUE(w.fullView()->scoreImage(group)->surface().isNull()) << group;
    }
    ASSERT_TRUE(w.loader().loadRingingLines(
        3, {QStringLiteral("144"), QStringLiteral("m1,b1"), QStringLiteral("s2")}));
    w.StrikeColumn(0);
    EXPECT_FALSE(animationOf->fullPicturesLoaded()); // never on a strike's path

    w.btnFullViewClick();
    ASSERT_TRUE(animationOf->fullPicturesLoaded());
    expectPlaceShowsState(View::Full);
    EXPECT_FALSE(w.fullView()->scoreImage(0)->surface().isNull());
    w.StrikeColumn(1);
    EXPECT_EQ(shown(0, View::Full), ShownPicture::frameOf(kSmallSet, 4, FrameStyle::General));
    expectPlaceShowsState(View::Full);

    const qint64 key = animationOf->pictures(View::Full).frames[0].cacheKey();
    w.btnUsualViewClick();
    w.btnFullViewClick();
    EXPECT_EQ(animationOf->pictures(View::Full).frames[0].cacheKey(), key);
}
