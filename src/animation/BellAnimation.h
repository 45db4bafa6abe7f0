#pragma once

#include "animation/BellAnimationPictures.h"
#include "animation/BellAnimationState.h"

#include <QObject>

#include <array>

class AnimationHost;
class BellAnimationPicture;
class QWidget;

// The bell animation of the main window: beside each group's staff a
// picture of the group's bells that switches to the struck bell's frame,
// returns to rest 150 ms after the last strike, and shows "Игра аккордами"
// for a group played in chords or "Анимация отключена" with the animation
// off. Holds the pictures of both views (usual and full) and their places;
// the rules live in animation::BellAnimationState, this class shows their answer.
class BellAnimation : public QObject {
    Q_OBJECT
public:
    using View = animation::BellAnimationState::View;

    BellAnimation(AnimationHost& host, QObject* parent);
    ~BellAnimation() override;

    // The panel of the full view's pictures, given by the full view before
    // its pictures are created.
    void setFullPicturesPanel(QWidget* panel) { m_fullPanel = panel; }

    // Start-up: the pictures of the usual view, then the places of the full
    // view, whose large pictures are read when the full view is first entered
    // (the program need not hold them until then; never on a strike's path).
    void CreateBellImages();
    void CreateChordImages();
    void CreateAnimationOffImages();
    void CreateFullBellImages();
    void CreateFullChordImages();
    void CreateFullAnimationOffImages();

    void LayoutBellImages();
    void LayoutFullImages();

    void ShowStrikeFrame(int bell);
    void HideGroupFrames(QChar letter);
    void ResetBellImages();
    void HideOtherViewImages();
    // The usual view's style selector changed.
    void cbViewChange();
    // A style chosen in either view: 0 general, 1 schematic.
    void selectStyle(int style);
    void cbShowMovieClick();
    // After a ringing is loaded: its chord groups show their chord images.
    void ringingLoaded();

    // The full-view flag. Switching it brings the animation switch's state
    // to the images of the view now shown, which missed any switch made
    // while the other view was shown.
    void setFullView(bool full);
    bool isFullView() const { return m_state.isFullView(); }

    const animation::BellAnimationState& state() const { return m_state; }
    // The place widget of a group (0 small, 1 middle, 2 big) in a view;
    // nullptr before its images are created.
    BellAnimationPicture* place(View view, int group) const;
    const AnimationPictures& pictures(View view) const { return m_pictures[static_cast<std::size_t>(view)]; }
    // Whether the full view's pictures have been read.
    bool fullPicturesLoaded() const { return m_fullPicturesLoaded; }

private:
    animation::AnimationContext context() const;
    void createPlaces(View view);
    void createCaptionPictures(View view, bool chords);
    void loadCaptionPicture(View view, bool chords);
    // Reads the full view's frames and caption pictures once.
    void loadFullPictures();
    // Shows the state's answer on the places of the active view.
    void showState();
    void showState(View view);

    AnimationHost& m_host;
    QWidget* m_fullPanel = nullptr;
    bool m_fullPicturesLoaded = false;
    animation::BellAnimationState m_state;
    std::array<AnimationPictures, 2> m_pictures;
    std::array<std::array<BellAnimationPicture*, animation::kGroupCount>, 2> m_places{};
};
