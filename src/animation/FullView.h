#pragma once

#include "base/BellGroups.h"

#include <QColor>
#include <QObject>

#include <array>

class AnimationHost;
class BellAnimation;
class FullScoreImage;
class FullViewTitle;
class QComboBox;
class QFrame;
class QToolButton;
class QWidget;

// The full view: the whole work area given to a vertical score (a column per
// group, time running downwards) and the animation in large pictures, with
// a tool row that mirrors the group ringing selectors, the common list and
// the view style. It builds and owns its panel (pnlFullView, lying over the
// usual view in the same area), draws into it and carries choices across
// when the view is entered and left.
class FullView : public QObject {
    Q_OBJECT
public:
    // area: the widget shared with the usual view; the panel starts hidden
    // behind it. The animation gets the panel of the large pictures.
    FullView(QWidget* area, AnimationHost& host, BellAnimation& animation);

    // Start-up: the score images and cursor bars in pnlBellNotes1..3.
    void CreateFullScoreImages();

    bool isActive() const;
    void EnterFullView();
    void LeaveFullView();
    // Clears the three score images and draws the page's lanes and dots.
    void DrawFullScore(int page);
    void PlaceFullScoreCursor(int column);
    // The readable view: the cursor bars frame the dots of the current
    // column instead of covering them.
    void setReadable(bool readable);
    bool readable() const { return m_readable; }

    // checked: the menu item's state, which it changes itself when chosen.
    void nFullViewClick(bool checked);
    void btnFullViewClick();
    void btnUsualViewClick();
    void cbFullViewChange();
    // A style chosen in the bottom row's selector while this view is shown:
    // the two selectors show one style.
    void usualStyleChosen(int style);
    void cbCustomBellsChange(BellGroup group);
    void cbCustomBells1Change() { cbCustomBellsChange(BellGroup::Small); }
    void cbCustomBells2Change() { cbCustomBellsChange(BellGroup::Middle); }
    void cbCustomBells3Change() { cbCustomBellsChange(BellGroup::Big); }
    void cbFullCommonChange();
    void pnlPToolsResize();
    void titleResize();
    // The common list's choice made elsewhere, shown here when the list has it.
    void followCommonChoice(int index);

    QWidget* panel() const;
    // cbCustomBells1 small, 2 middle, 3 big (shown in the reverse order).
    QComboBox* groupSelector(BellGroup group) const;
    QComboBox* commonSelector() const { return m_common; }
    QComboBox* styleSelector() const { return m_style; }
    QToolButton* usualViewButton() const { return m_usualView; }

    // Group 0 small, 1 middle, 2 big; nullptr before CreateFullScoreImages.
    FullScoreImage* scoreImage(int group) const;
    QFrame* cursorBar(int group) const;
    FullViewTitle* title(int group) const;
    static QColor groupColour(int group);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanel(QWidget* area);
    void createTitles();
    void connectControls();
    void fitScoreImages();
    void drawCurrentPage();
    void placeCurrentCursor();
    QFrame* notesPanelOf(int group) const;

    AnimationHost& m_host;
    BellAnimation& m_animation;
    QFrame* m_panel = nullptr;
    QFrame* m_tools = nullptr;
    std::array<QComboBox*, kGroupCount> m_groupSelectors{};
    QComboBox* m_common = nullptr;
    QToolButton* m_usualView = nullptr;
    QComboBox* m_style = nullptr;
    // By group: the title panel beside each score column and the column itself.
    std::array<QFrame*, kGroupCount> m_titlePanels{};
    std::array<QFrame*, kGroupCount> m_notesPanels{};
    QFrame* m_pictures = nullptr;
    std::array<FullScoreImage*, kGroupCount> m_images{};
    std::array<QFrame*, kGroupCount> m_cursors{};
    std::array<FullViewTitle*, kGroupCount> m_titles{};
    bool m_readable = false;
};
