#pragma once

#include "base/BellGroups.h"

#include <QString>
#include <QStringList>

class Ensemble;
class QComboBox;
class QWidget;

// What the bell animation, the full view and the animation workers need of
// the rest of the program. The main window answers it.
class AnimationHost {
public:
    virtual ~AnimationHost() = default;

    // What the animation rules read, afresh for each operation.
    virtual const Ensemble& ensemble() const = 0;
    // False: the loaded ringing plays the group in chords.
    virtual bool isGroupAnimated(BellGroup group) const = 0;
    // The animation switch ("Анимация").
    virtual bool isAnimationOn() const = 0;
    // The picture folders (ending in '/') of the usual and the full view.
    virtual QString animateDir() const = 0;
    virtual QString bigAnimateDir() const = 0;

    // The usual view: the panel its pictures lie on, and each group's band,
    // beside which the group's picture stands below its ringing selector.
    virtual QWidget* usualPicturesPanel() const = 0;
    virtual QWidget* groupBand(BellGroup group) const = 0;
    // The usual view's ringing selectors; nullptr before they exist.
    virtual QComboBox* groupSelector(BellGroup group) const = 0;
    virtual QComboBox* commonSelector() const = 0;
    // The usual view's style (0 general, 1 schematic).
    virtual int usualStyle() const = 0;
    virtual void setUsualStyle(int style) = 0;
    // The style is chosen only while the animation runs, in either view.
    virtual void enableStyleSelectors(bool enabled) = 0;
    // A strike stops the reset timer; its caller starts it again.
    virtual void stopResetTimer() = 0;

    // Around the full view: entering shows the tool bar (as the view menu
    // would) and hides the bell strip; leaving gives the bell strip back as
    // the view menu has it and brings the usual view to the front.
    virtual void prepareFullView() = 0;
    virtual void showUsualView() = 0;
    // The menu item "Полный вид".
    virtual void setFullViewChecked(bool checked) = 0;
    // Where playback stands, and the group scores it plays.
    virtual int currentPage() const = 0;
    virtual int currentColumn() const = 0;
    virtual QStringList groupScore(BellGroup group) const = 0;
    // The score of whichever view is in front.
    virtual void redrawScore() = 0;
    // A choice made in the full view's selectors, carried out as the usual
    // view's selectors carry it out (their current item is already set).
    virtual void groupRingingChosen(BellGroup group) = 0;
    virtual void commonRingingChosen() = 0;

    // The workers' operations, run on the main thread.
    virtual void PlaceScoreCursor() = 0;
    virtual void ShowStrikeFrame(int bell) = 0;
    virtual void ResetBellImages() = 0;
};
