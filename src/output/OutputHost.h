#pragma once

#include "base/BellGroups.h"

#include <QColor>
#include <QString>
#include <QStringList>

class Ensemble;
class QWidget;

// What printing, the HTML export and saving as sound need of the rest of the
// program: the loaded ringing and its score, the ringing lists, the page
// selector, the staves whose sizes the pictures take, and the window that
// parents their dialogs. The main window answers it.
class OutputHost {
public:
    virtual ~OutputHost() = default;

    // The window that parents the dialogs, the status-bar widgets and the
    // output objects themselves.
    virtual QWidget* window() const = 0;
    virtual void showStatusMessage(const QString& text) = 0;
    // Puts a widget of ours at the right of the status bar.
    virtual void addStatusWidget(QWidget* widget) = 0;

    // Keyboard ringing: whether keys strike bells now; dialogs turn it off.
    virtual bool keyboardRinging() const = 0;
    virtual void setKeyboardRinging(bool on) = 0;

    // Folders of the installation.
    virtual QString imagesDir() const = 0;
    virtual QString htmlDir() const = 0;
    virtual QString sampleFolder() const = 0;

    // The loaded ringing. Its name is empty when none is loaded.
    virtual QString ringingName() const = 0;
    virtual QStringList commonScore() const = 0;
    virtual QStringList groupScore(BellGroup group) const = 0;
    virtual const Ensemble& ensemble() const = 0;
    virtual QString bellSampleFileName(int bell) const = 0;
    // Milliseconds per column.
    virtual int columnInterval() const = 0;
    // The group's sound check box.
    virtual bool groupSounds(BellGroup group) const = 0;
    virtual bool groupRingingMode() const = 0;

    // Every bell selected, as the menu command does.
    virtual void selectAllBells() = 0;

    // The common list: item 0 is "no ringing"; choosing runs its change rule.
    virtual int commonRingingCount() const = 0;
    virtual QString commonRingingName(int index) const = 0;
    virtual int chosenCommonRinging() const = 0;
    virtual void chooseCommonRinging(int index) = 0;
    // No ringing chosen, in the common list and in the full view's mirror of it.
    virtual void clearCommonChoice() = 0;
    // The ringing chosen in the group's selector; empty when none.
    virtual QString chosenGroupRinging(BellGroup group) const = 0;

    // Score view and page selector. Pages of the selector count from 1,
    // current pages from 0.
    // Checks "show notes" and runs its handler, when it is not checked yet.
    virtual void switchScoreOn() = 0;
    virtual int pageCount() const = 0;
    virtual int currentPage() const = 0;
    // Moves the page selector to `position` and runs its handler.
    virtual void showPage(int position) = 0;
    // Redraws the score view at `page` without moving the page selector or
    // the play position.
    virtual void drawScorePage(int page) = 0;
    // Grid (simplified) view of the score, and the window colour it is drawn on.
    virtual bool simplifiedScore() const = 0;
    virtual QColor scoreFace() const = 0;
    // The staff panel of a group and the box that holds the three.
    virtual QWidget* staff(BellGroup group) const = 0;
    virtual QWidget* stavesBox() const = 0;
};
