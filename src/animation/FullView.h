#pragma once

#include <QColor>
#include <QObject>

#include <array>

class BellAnimation;
class FullScoreImage;
class FullViewTitle;
class QComboBox;
class QFrame;
class TfrmMain;

// The full view: the whole work area given to a vertical score (a column per
// group, time running downwards) and the animation in large pictures, with
// a tool row that mirrors the group ringing selectors, the common list and
// the view style. Its panels are the window's (pnlFullView and what it
// holds); this class draws into them and carries choices across when the
// view is entered and left.
class FullView : public QObject {
    Q_OBJECT
public:
    FullView(TfrmMain& window, BellAnimation& animation);

    // Start-up: the score images and cursor bars in pnlBellNotes1..3.
    void CreateFullScoreImages();

    bool isActive() const;
    void EnterFullView();
    void LeaveFullView();
    // Clears the three score images and draws the page's lanes and dots.
    void DrawFullScore(int page);
    void PlaceFullScoreCursor(int column);

    void nFullViewClick();
    void btnFullViewClick();
    void btnUsualViewClick();
    void cbFullViewChange();
    // k = 1 small, 2 middle, 3 big, as cbCustomBells1..3.
    void cbCustomBellsChange(int k);
    void cbCustomBells1Change() { cbCustomBellsChange(1); }
    void cbCustomBells2Change() { cbCustomBellsChange(2); }
    void cbCustomBells3Change() { cbCustomBellsChange(3); }
    void cbFullCommonChange();
    void pnlPToolsResize();
    void titleResize();

    // Group 0 small, 1 middle, 2 big; nullptr before CreateFullScoreImages.
    FullScoreImage* scoreImage(int group) const;
    QFrame* cursorBar(int group) const;
    FullViewTitle* title(int group) const;
    static QColor groupColour(int group);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void fitScoreImages();
    QComboBox* mirrorOf(int group) const;
    QFrame* notesPanelOf(int group) const;

    TfrmMain& m_window;
    BellAnimation& m_animation;
    std::array<FullScoreImage*, 3> m_images{};
    std::array<QFrame*, 3> m_cursors{};
    std::array<FullViewTitle*, 3> m_titles{};
};
