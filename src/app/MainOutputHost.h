#pragma once

#include "output/OutputHost.h"

class TfrmMain;

// Answers printing, the HTML export and saving as sound from the main
// window's controls and state.
class MainOutputHost : public OutputHost {
public:
    explicit MainOutputHost(TfrmMain& window) : m_window(window) {}

    QWidget* window() const override;
    void showStatusMessage(const QString& text) override;
    void addStatusWidget(QWidget* widget) override;
    bool keyboardRinging() const override;
    void setKeyboardRinging(bool on) override;
    QString imagesDir() const override;
    QString htmlDir() const override;
    QString sampleFolder() const override;
    QString ringingName() const override;
    QStringList commonScore() const override;
    QStringList groupScore(BellGroup group) const override;
    const Ensemble& ensemble() const override;
    QString bellSampleFileName(int bell) const override;
    int columnInterval() const override;
    bool groupSounds(BellGroup group) const override;
    bool groupRingingMode() const override;
    void selectAllBells() override;
    int commonRingingCount() const override;
    QString commonRingingName(int index) const override;
    int chosenCommonRinging() const override;
    void chooseCommonRinging(int index) override;
    void clearCommonChoice() override;
    QString chosenGroupRinging(BellGroup group) const override;
    void switchScoreOn() override;
    int pageCount() const override;
    int currentPage() const override;
    void showPage(int position) override;
    void drawScorePage(int page) override;
    bool simplifiedScore() const override;
    QColor scoreFace() const override;
    QWidget* staff(BellGroup group) const override;
    QWidget* stavesBox() const override;

private:
    TfrmMain& m_window;
};
