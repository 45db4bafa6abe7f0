// The score view inside the real main window (offscreen): loading a ringing
// draws its heads on the staves, the cursor bars follow the column, the
// score can be switched off and on, and the surfaces follow the staves.

#include "animation/FullView.h"
#include "app/TfrmMain.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingLoader.h"
#include "score/ScoreCursorBar.h"
#include "score/ScoreImage.h"
#include "score/ScoreView.h"
#include "support/MainWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QRgb kMaroon = qRgb(128, 0, 0);

class ScoreWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Two bells in each group.
        program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=111111000000000"),
                               QStringLiteral("Types=bbmmssnnnnnnnnn")});
        startWith({});
        frm->resize(1200, 800);
        frm->show();
        QApplication::processEvents();
        view = frm->scoreView();
    }

    // A whole ringing of `columns` columns: every fourth column strikes one
    // bell of each group, the bells taking turns.
    void loadRinging(int columns) {
        QStringList body{QStringLiteral("144")};
        for (int c = 0; c < columns; ++c) {
            const QString d = QString::number(c / 4 % 2 + 1);
            body << (c % 4 == 0 ? QStringLiteral("s%1,m%1,b%1").arg(d) : QString());
        }
        ASSERT_TRUE(frm->loader().loadRingingLines(TChannels::kCommonScore, body));
        frm->loader().showWholeRingingPages();
        QApplication::processEvents();
    }

    // How many of the page's heads in `group` show maroon at their centres
    // (hollow heads: on their outline).
    int headsShown(int group) const {
        const QImage picture = view->picture(group);
        const qreal ratio = picture.devicePixelRatio();
        int shown = 0;
        const auto heads = scoreHeads(group, picture.deviceIndependentSize().toSize(), view->currentPage());
        for (const ScoreHead& h : heads) {
            const double x = h.hollow ? h.x - 2.5 : h.x;
            const QPoint p(static_cast<int>(std::floor(x * ratio)), static_cast<int>(h.y * ratio));
            if (picture.rect().contains(p) && (picture.pixel(p) | 0xff000000u) == kMaroon) {
                ++shown;
            }
        }
        return heads.empty() ? -1 : shown;
    }

    int maroonPixels(int group) const {
        const QImage picture = view->picture(group);
        int count = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                count += (picture.pixel(x, y) | 0xff000000u) == kMaroon;
            }
        }
        return count;
    }

    ScoreView* view = nullptr;
};

} // namespace

// Loading a ringing draws the first page: every head of every group stands
// on its staff; the next page follows the page selector.
TEST_F(ScoreWindow, LoadingDrawsHeadsOnTheStaves) {
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    loadRinging(100);
    for (int g = 0; g < 3; ++g) {
        SCOPED_TRACE(g);
        EXPECT_GT(view->picture(g).width(), 300);
        EXPECT_EQ(
            scoreHeads(g, view->picture(g).deviceIndependentSize().toSize(), view->currentPage()).size(),
            16u);
        EXPECT_EQ(headsShown(g), 16);
    }
    // Page 2 holds columns 64..99: nine struck columns.
    control<TUpDown>(frm, "udPage")->setPosition(2);
    frm->udPageClick();
    QApplication::processEvents();
    EXPECT_EQ(view->currentPage().page, 1);
    EXPECT_EQ(scoreHeads(1, view->picture(1).deviceIndependentSize().toSize(), view->currentPage()).size(),
              9u);
    EXPECT_EQ(headsShown(1), 9);
    EXPECT_EQ(control<QSlider>(frm, "tbProgress")->value(), 64);
}

// The three bars stand over the column in all staves, at the small staff's
// column width; stopping brings them back to column 0.
TEST_F(ScoreWindow, CursorFollowsTheColumn) {
    loadRinging(100);
    auto* pnlSmallBells = control<QFrame>(frm, "pnlSmallBells");
    const int width = pnlSmallBells->contentsRect().width();
    const int left0 = pnlSmallBells->contentsRect().left();
    control<QSlider>(frm, "tbProgress")->setValue(16);
    QApplication::processEvents();
    for (int g = 0; g < 3; ++g) {
        QFrame* bar = view->cursor(g);
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->x(), left0 + scoreCursorLeft(16, width));
        EXPECT_EQ(bar->width(), scoreCursorSize(pnlSmallBells->contentsRect().size()).width());
    }
    EXPECT_EQ(scoreCursorLeft(16, width), qRound(4.8 + width / 64.0 * 16));
    frm->btnStopClick();
    EXPECT_EQ(view->cursor(2)->x(), left0 + scoreCursorLeft(0, width));
}

// Switched off, the captions cover the staves and a page change leaves the
// images blank; switched on, the current page is drawn again.
TEST_F(ScoreWindow, SwitchingTheScoreOffAndOn) {
    loadRinging(100);
    auto* cbShowNotes = control<QCheckBox>(frm, "cbShowNotes");
    cbShowNotes->setChecked(false);
    frm->cbShowNotesClick();
    QApplication::processEvents();
    auto* pnlMiddleFace = control<QLabel>(frm, "pnlMiddleFace");
    EXPECT_TRUE(pnlMiddleFace->isVisible());
    EXPECT_EQ(pnlMiddleFace->text(), QStringLiteral("Партитура отключена"));
    EXPECT_FALSE(view->cursor(1)->isVisible());
    EXPECT_EQ(maroonPixels(1), 0);
    control<TUpDown>(frm, "udPage")->setPosition(2);
    frm->udPageClick();
    frm->cbGridClick();
    EXPECT_EQ(maroonPixels(1), 0);

    cbShowNotes->setChecked(true);
    frm->cbShowNotesClick();
    QApplication::processEvents();
    EXPECT_FALSE(pnlMiddleFace->isVisible());
    EXPECT_TRUE(view->cursor(1)->isVisible());
    EXPECT_EQ(headsShown(1), 9);
}

// The simplified view keeps only the rows of the group's bells: with two
// middle bells, the middle staff's row 1 line goes and its row 10 line stays.
TEST_F(ScoreWindow, SimplifiedViewDropsEmptyRows) {
    loadRinging(16);
    const auto rowPixel = [&](int row) {
        const QImage picture = view->picture(1);
        const qreal ratio = picture.devicePixelRatio();
        const QSizeF size = picture.deviceIndependentSize();
        const int y = qRound(row * size.height() / 11);
        // Halfway through the second bar: no bar line, no notation there.
        return picture.pixel(static_cast<int>(size.width() * 0.4 * ratio), static_cast<int>(y * ratio)) |
               0xff000000u;
    };
    EXPECT_EQ(rowPixel(1), qRgb(0, 0, 0));
    auto* cbGrid = control<QCheckBox>(frm, "cbGrid");
    cbGrid->setChecked(true);
    frm->cbGridClick();
    EXPECT_EQ(rowPixel(1), view->faceColour().rgb());
    EXPECT_EQ(rowPixel(10), qRgb(0, 0, 0));
    cbGrid->setChecked(false);
    frm->cbGridClick();
    EXPECT_EQ(rowPixel(1), qRgb(0, 0, 0));
}

// Resizing redraws the page at the new size on the surfaces made at start-up.
TEST_F(ScoreWindow, ResizeKeepsTheSurfaces) {
    loadRinging(64);
    const uchar* before = view->image(0)->surface().constBits();
    const int widthBefore = view->picture(0).width();
    frm->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(view->image(0)->surface().constBits(), before);
    EXPECT_LT(view->picture(0).width(), widthBefore);
    EXPECT_EQ(view->image(0)->size(), control<QFrame>(frm, "pnlSmallBells")->contentsRect().size());
    EXPECT_EQ(headsShown(0), 16);
}

// Catches surfaces made at the size of the screen (megabytes per staff that
// nothing shows) and a staff grown past its surface that is not drawn whole:
// each surface covers its staff within one step, and a larger window grows
// it before the page is drawn again.
TEST_F(ScoreWindow, SurfacesFollowTheStaffsSize) {
    loadRinging(64);
    const auto covers = [&](int group) {
        const QImage& surface = view->image(group)->surface();
        const qreal ratio = surface.devicePixelRatio();
        const QSize size(static_cast<int>(surface.width() / ratio),
                         static_cast<int>(surface.height() / ratio));
        const QSize staff = view->image(group)->size();
        EXPECT_GE(size.width(), staff.width()) << group;
        EXPECT_GE(size.height(), staff.height()) << group;
        return size;
    };
    for (int g = 0; g < 3; ++g) {
        const QSize size = covers(g);
        EXPECT_LT(size.width(), view->image(g)->width() + 64) << g;
        EXPECT_LT(size.height(), view->image(g)->height() + 64) << g;
    }
    const int widthBefore = view->picture(0).width();
    frm->resize(1500, 950);
    QApplication::processEvents();
    QApplication::processEvents();
    for (int g = 0; g < 3; ++g) {
        covers(g);
    }
    EXPECT_GT(view->picture(0).width(), widthBefore);
    EXPECT_EQ(headsShown(0), 16);
}

// A damaged body (bad tokens, stray separators) draws what it can and keeps playing.
TEST_F(ScoreWindow, DamagedColumnsDrawWhatTheyCan) {
    QStringList body{QStringLiteral("144"), QStringLiteral("s1,,m9x,b"), QStringLiteral("s1s2,m1"),
                     QStringLiteral(",,,"), QStringLiteral("b7")};
    ASSERT_TRUE(frm->loader().loadRingingLines(TChannels::kCommonScore, body));
    frm->loader().showWholeRingingPages();
    frm->btnPlayClick();
    QApplication::processEvents();
    EXPECT_TRUE(frm->transport().isPlaying());
    EXPECT_EQ(headsShown(0), 1);
    EXPECT_EQ(headsShown(1), 1);
    frm->btnStopClick();
}

// "Вид > Крупные ноты": off at first, on it labels the lines with the
// bells' keys, lets the heads under the stopped cursor show through it
// (the solid bar hides column 0 of the page) and is kept in the settings;
// off again, the staves are the very pictures they were.
TEST_F(ScoreWindow, ReadableViewFromTheViewMenu) {
    loadRinging(100);
    auto* action = control<QAction>(frm, "nLargeNotes");
    ASSERT_NE(action, nullptr);
    EXPECT_FALSE(action->isChecked());
    const QImage before = view->picture(1);
    auto* staff = control<QFrame>(frm, "pnlMiddleBells");
    const ScoreHead first = scoreHeads(1, staff->contentsRect().size(), view->currentPage()).front();
    const QPoint onHead = staff->contentsRect().topLeft() + QPoint(first.x, first.y);
    ASSERT_EQ(first.column, 0);
    const auto shownAt = [&](QPoint p) { return staff->grab().toImage().pixelColor(p).rgb() | 0xff000000u; };
    EXPECT_EQ(shownAt(onHead), qRgb(0, 0, 255)); // the solid bar covers it

    action->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(view->readable());
    EXPECT_TRUE(frm->fullView()->readable());
    EXPECT_TRUE(qobject_cast<ScoreCursorBar*>(view->cursor(1))->seeThrough());
    EXPECT_NE(view->picture(1), before);
    EXPECT_NE(shownAt(onHead), qRgb(0, 0, 255));
    const ScorePage page = view->currentPage();
    EXPECT_EQ(page.keyLabels[0], QStringList({"F", "E"}));
    EXPECT_EQ(page.keyLabels[1], QStringList({"D", "C"}));
    EXPECT_EQ(page.keyLabels[2], QStringList({"A", "B"}));
    EXPECT_TRUE(program.settingsText().contains("LargeNotes=1"));

    action->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(qobject_cast<ScoreCursorBar*>(view->cursor(1))->seeThrough());
    EXPECT_EQ(view->picture(1), before);
    EXPECT_TRUE(program.settingsText().contains("LargeNotes=0"));
}
