// Changing a belfry: the logic of reorder, rename and level, and the dialog
// over a fake host, offscreen.

#include "bells/belfry/BelfryDialog.h"
#include "bells/belfry/BelfryDialogHost.h"
#include "bells/belfry/BelfryEdit.h"
#include "support/TestProgram.h"

#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FakeHost : public BelfryDialogHost {
public:
    explicit FakeHost(QString dir) : m_dir(std::move(dir)) {}
    QString belfriesDir() const override { return m_dir; }
    void playSample(const QString& path) override { heard << path; }
    void belfriesChanged() override { ++changes; }

    QStringList heard;
    int changes = 0;

private:
    QString m_dir;
};

// Three bells; the last two a third of a tone apart.
void makeBelfry(const QString& dir) {
    Belfry belfry;
    belfry.name = QStringLiteral("Т");
    std::vector<bellmeasure::Audio> samples;
    const double pitches[] = {200.0, 300.0, 300.0 * std::pow(2.0, 33.0 / 1200.0)};
    const float peaks[] = {0.5f, 0.25f, 0.9f};
    for (int i = 0; i < 3; ++i) {
        BelfryBell bell;
        bell.name = QStringLiteral("b%1").arg(i);
        bell.pitchHz = pitches[i];
        bell.source = QStringLiteral("/nowhere/b%1.wav").arg(i);
        belfry.bells.append(bell);
        bellmeasure::Audio a;
        a.sampleRate = 16000;
        a.channels.assign(1, std::vector<float>(8000));
        for (size_t n = 0; n < 8000; ++n) {
            a.channels[0][n] = peaks[i] * static_cast<float>(std::sin(0.1 * static_cast<double>(n)));
        }
        samples.push_back(a);
    }
    QString error;
    ASSERT_TRUE(BelfryStore(dir).save(belfry, samples, false, &error)) << error.toStdString();
}

} // namespace

// Reorder, rename and level follow their bell; a level is held under full
// scale and above the lowest; out-of-range moves do nothing.
TEST(BelfryEdit, ChangesFollowTheirBell) {
    QTemporaryDir dir;
    makeBelfry(dir.path());
    QString error;
    std::optional<BelfryEdit> edit = BelfryEdit::open(BelfryStore(dir.path()), QStringLiteral("Т"), &error);
    ASSERT_TRUE(edit) << error.toStdString();
    EXPECT_FALSE(edit->isChanged());
    EXPECT_EQ(edit->warnings(), QStringList{QStringLiteral("Колокола 2 и 3 ближе четверти тона друг к другу")});
    EXPECT_FALSE(edit->move(0, 3));
    EXPECT_FALSE(edit->move(-1, 0));
    EXPECT_TRUE(edit->move(2, 0));
    EXPECT_EQ(edit->belfry().bells[0].name, QStringLiteral("b2"));
    EXPECT_NEAR(bellmeasure::peakDbfs(edit->sample(0)), 20.0 * std::log10(0.9), 0.01);
    // A bell peaking at 0.9 may rise by under 1 dB; one at 0.25 by almost 12.
    EXPECT_NEAR(edit->setLevel(0, 6.0), -0.1 - 20.0 * std::log10(0.9), 0.01);
    EXPECT_LT(bellmeasure::peakDbfs(edit->sample(0)), 0.0);
    EXPECT_NEAR(edit->setLevel(2, 40.0), -0.1 - 20.0 * std::log10(0.25), 0.01);
    EXPECT_DOUBLE_EQ(edit->setLevel(1, -100.0), BelfryEdit::kLowestLevelDb);
    EXPECT_NEAR(bellmeasure::peakDbfs(edit->sample(1)), 20.0 * std::log10(0.5) - 24.0, 0.01);
    edit->rename(1, QStringLiteral("Большой"));
    EXPECT_TRUE(edit->isChanged());
    EXPECT_EQ(edit->warnings(), QStringList{QStringLiteral("Колокола 1 и 3 ближе четверти тона друг к другу")});

    ASSERT_TRUE(edit->save(BelfryStore(dir.path()), &error)) << error.toStdString();
    EXPECT_FALSE(edit->isChanged());
    const std::optional<Belfry> saved = BelfryStore(dir.path()).load(QStringLiteral("Т"), &error);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->generation, 1);
    EXPECT_EQ(saved->bells[0].sample, QStringLiteral("bell01-1.flac"));
    EXPECT_EQ(saved->bells[1].name, QStringLiteral("Большой"));
    EXPECT_DOUBLE_EQ(saved->bells[1].levelDb, BelfryEdit::kLowestLevelDb);
    // Opened again, the levels are where they were left and sound so.
    std::optional<BelfryEdit> again = BelfryEdit::open(BelfryStore(dir.path()), QStringLiteral("Т"), &error);
    ASSERT_TRUE(again);
    EXPECT_NEAR(bellmeasure::peakDbfs(again->sample(1)), 20.0 * std::log10(0.5) - 24.0, 0.01);
}

// The dialog: the warning shown, each bell heard when chosen and when its
// level or place changes, each heard sound a file of its own; saving tells
// the host.
TEST(BelfryDialog, HearsEachChangeAndSaves) {
    ensureQtApplication();
    QTemporaryDir dir;
    makeBelfry(dir.path());
    FakeHost host(dir.path());
    BelfryDialog dialog(host, nullptr);
    ASSERT_TRUE(dialog.showBelfry(QStringLiteral("Т")));
    EXPECT_TRUE(dialog.warningText().contains(QStringLiteral("Колокола 2 и 3")));
    EXPECT_EQ(dialog.currentBell(), 0);
    EXPECT_TRUE(host.heard.isEmpty());
    dialog.selectBell(1);
    ASSERT_EQ(host.heard.size(), 1);
    dialog.setLevel(-6.0);
    dialog.moveCurrent(1);
    ASSERT_EQ(host.heard.size(), 3);
    EXPECT_EQ(host.heard.removeDuplicates(), 0);
    EXPECT_EQ(dialog.currentBell(), 2);
    EXPECT_DOUBLE_EQ(dialog.edit()->belfry().bells[2].levelDb, -6.0);
    EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("lblFigures"))->text().contains(QStringLiteral("T30")));
    dialog.moveCurrent(1); // past the last place: nothing
    EXPECT_EQ(host.heard.size(), 3);
    ASSERT_TRUE(dialog.save());
    EXPECT_EQ(host.changes, 1);
    QString error;
    EXPECT_EQ(BelfryStore(dir.path()).load(QStringLiteral("Т"), &error)->bells[2].name, QStringLiteral("b1"));
}
