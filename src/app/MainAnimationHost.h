#pragma once

#include "animation/AnimationHost.h"

class TfrmMain;

// Answers the bell animation, the full view and the animation workers from
// the main window's controls and operations.
class MainAnimationHost : public AnimationHost {
public:
    explicit MainAnimationHost(TfrmMain& window) : m_window(window) {}

    const Ensemble& ensemble() const override;
    bool isGroupAnimated(BellGroup group) const override;
    bool isAnimationOn() const override;
    QString animateDir() const override;
    QString bigAnimateDir() const override;
    QWidget* usualPicturesPanel() const override;
    QWidget* groupBand(BellGroup group) const override;
    QComboBox* groupSelector(BellGroup group) const override;
    QComboBox* commonSelector() const override;
    int usualStyle() const override;
    void setUsualStyle(int style) override;
    void enableStyleSelectors(bool enabled) override;
    void stopResetTimer() override;
    void prepareFullView() override;
    void showUsualView() override;
    void setFullViewChecked(bool checked) override;
    int currentPage() const override;
    int currentColumn() const override;
    QStringList groupScore(BellGroup group) const override;
    void redrawScore() override;
    void groupRingingChosen(BellGroup group) override;
    void commonRingingChosen() override;
    void PlaceScoreCursor() override;
    void ShowStrikeFrame(int bell) override;
    void ResetBellImages() override;

private:
    TfrmMain& m_window;
};
