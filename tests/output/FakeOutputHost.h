#pragma once

// An output host without a window: plain values a test sets, and a record of
// the actions asked of it.

#include "bells/Ensemble.h"
#include "output/OutputHost.h"

#include <QWidget>

#include <array>

class FakeOutputHost : public OutputHost {
public:
    QWidget* window() const override { return nullptr; }
    void showStatusMessage(const QString& text) override { statusMessage = text; }
    void addStatusWidget(QWidget*) override {}
    bool keyboardRinging() const override { return ringing; }
    void setKeyboardRinging(bool on) override { ringing = on; }
    QString imagesDir() const override { return folder; }
    QString htmlDir() const override { return folder + QStringLiteral("html"); }
    QString sampleFolder() const override { return folder; }
    QString ringingName() const override { return name; }
    QStringList commonScore() const override { return common; }
    QStringList groupScore(BellGroup group) const override { return groups[groupIndex(group)]; }
    const Ensemble& ensemble() const override { return bells; }
    QString bellSampleFileName(int bell) const override { return QStringLiteral("bell%1.wav").arg(bell); }
    int columnInterval() const override { return 100; }
    bool groupSounds(BellGroup) const override { return true; }
    bool groupRingingMode() const override { return false; }
    void selectAllBells() override {}
    int commonRingingCount() const override { return 1; }
    QString commonRingingName(int) const override { return {}; }
    int chosenCommonRinging() const override { return 0; }
    void chooseCommonRinging(int) override {}
    void clearCommonChoice() override {}
    QString chosenGroupRinging(BellGroup) const override { return {}; }
    void switchScoreOn() override {}
    int pageCount() const override { return 1; }
    int currentPage() const override { return 0; }
    void showPage(int) override {}
    void drawScorePage(int) override {}
    bool simplifiedScore() const override { return simplified; }
    QColor scoreFace() const override { return face; }
    QWidget* staff(BellGroup) const override { return nullptr; }
    QWidget* stavesBox() const override { return nullptr; }

    bool ringing = true;
    QString folder;
    QString name;
    QString statusMessage;
    QStringList common;
    std::array<QStringList, kGroupCount> groups;
    Ensemble bells;
    bool simplified = false;
    QColor face = QColor(212, 208, 200);
};
