#pragma once

#include "score/ScoreLayout.h"

#include <QColor>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;
class ScoreImage;
class ScoreWelcomeHost;
class TChannels;
class Ensemble;
struct TransportState;

// The score of the usual view: three staves (small, middle, big bells), each
// an image in its staff panel with a blue cursor bar above it, and the
// caption panels that cover them while the score is switched off.
//
// A page is drawn once, when it changes (a load, a stop, a page change, a
// resize, the simplified view, leaving the full view) and stays on the
// images; during playback only the cursor bars move. Drawing never stops
// playback: a failure leaves the page that was on screen.
//
// While too few bells are selected for any group and no ringing is loaded,
// the staves show a welcome instead of empty lines (score/ScoreWelcome.h):
// two sentences on the upper staves and two buttons on the big one. It is
// decided each time the staves are drawn, so it follows every path that
// draws them, and the score switched off hides it with the rest.
class ScoreView : public QObject {
    Q_OBJECT
public:
    struct Controls {
        std::array<QFrame*, 3> staffs{};   // pnlSmallBells, pnlMiddleBells, pnlBigBells
        std::array<QLabel*, 3> captions{}; // pnlSmallFace, pnlMiddleFace, pnlBigFace
        QCheckBox* grid = nullptr;         // cbGrid, the simplified view
        QCheckBox* showNotes = nullptr;    // cbShowNotes, the score on or off
        QWidget* window = nullptr;         // its background is the face colour
    };
    // The window's own operations, which may act on the full view instead.
    struct Hooks {
        std::function<void()> redrawScore;
        std::function<void()> placeScoreCursor;
    };

    ScoreView(const Controls& controls, const TChannels& channels, const Ensemble& ensemble,
              const TransportState& transport, QObject* parent = nullptr);
    ~ScoreView() override;

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    // What the welcome's buttons do; without a host they do nothing.
    void setWelcomeHost(std::unique_ptr<ScoreWelcomeHost> host);

    // Start-up: the three images, then later the three cursor bars.
    void CreateScoreImages();
    void CreateScoreCursors();

    // Clears the three images and draws the grid and the current page.
    void RedrawScore();
    // The grid alone (an empty score).
    void DrawScoreGrid();
    // The current page's notation over the grid already on the images.
    void DrawScorePage();
    // After playback was reset: clear, place the cursor, draw the empty staves.
    void ResetScoreView();

    // The cursor bars onto the current column.
    void PlaceScoreCursor();
    // Sizes the cursor bars to the staves, places them, repaints the images.
    void LayoutScoreCursors();
    // Each image to its staff panel's client area.
    void FitScoreImages();

    void ShowScore();
    void HideScore();

    // The readable view ("Крупные ноты"): larger heads, see-through cursor
    // bars, line labels, bar numbers and the page. Redraws when it changes.
    void setReadable(bool readable);
    bool readable() const { return m_readable; }
    // Where the staff of a group stands in its picture left to right: the
    // margin of the line labels (the cursor bars, the editor's marks).
    ScoreStaffArea cursorArea(int group) const;
    // While the score is edited the cursor bars are see-through as well.
    void setEditing(bool editing);
    // The label of a group's (0..2) line of 1-based position `position` in
    // the readable view: its bell's key.
    void setKeyLabelSource(std::function<QString(int group, int position)> source) {
        m_keyLabels = std::move(source);
    }

    // Handlers of cbGrid and cbShowNotes.
    void cbGridClick();
    void cbShowNotesClick();

    // What the page shows now, as the layout part takes it.
    ScorePage currentPage() const;
    QColor faceColour() const;
    // The colour of the window's text.
    QColor inkColour() const;

    ScoreImage* image(int group) const;
    QFrame* cursor(int group) const;
    // The current picture of a group's staff, at the staff's client size.
    QImage picture(int group) const;
    // The page whose notation the staves show now (-1 before the first).
    int drawnPage() const { return m_drawnPage; }
    // Whether the staves show the welcome now.
    bool welcomeShown() const { return m_welcomeShown; }

private:
    QSize staffSize(int group) const;
    qreal pixelRatio() const;
    void ensureSurfaces();
    // Lays out the three groups off-screen first, then paints them all, so a
    // failure leaves the images as they were.
    void drawGroups(bool grid, bool notation);
    void clearImages();
    void redraw();
    void placeCursor();
    void queueRedrawIfStale();
    void redrawIfStale();
    bool welcomeWanted() const;
    void createWelcomeButtons();
    // Shows or hides the buttons (and, in its place, the cursor bars).
    void showWelcome(bool shown);
    void placeWelcomeButtons();
    void applyCursorLook();

    Controls m_controls;
    const TChannels& m_channels;
    const Ensemble& m_ensemble;
    const TransportState& m_transport;
    Hooks m_hooks;
    std::array<QPointer<ScoreImage>, 3> m_images;
    std::array<QPointer<QFrame>, 3> m_cursors;
    // The staff sizes the images were last drawn at.
    std::array<QSize, 3> m_drawnSizes;
    bool m_redrawQueued = false;
    int m_drawnPage = -1;
    std::unique_ptr<ScoreWelcomeHost> m_welcomeHost;
    std::array<QPointer<QPushButton>, 2> m_welcomeButtons;
    bool m_welcomeShown = false;
    bool m_readable = false;
    bool m_editing = false;
    std::function<QString(int, int)> m_keyLabels;
};
