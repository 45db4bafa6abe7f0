#include "score/ScoreView.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"

#include "bells/Ensemble.h"
#include "playback/TransportState.h"
#include "ringing/TChannels.h"
#include "score/ReadableScore.h"
#include "score/ScoreCursorBar.h"
#include "score/ScoreImage.h"
#include "score/ScorePainter.h"
#include "score/ScoreWelcome.h"
#include "score/ScoreWelcomeHost.h"
#include "score/ScoreWelcomePainter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace {

const QColor kCursorColour(0, 0, 255);
// The readable view's cursor: a faint blue over the heads it marks.
constexpr int kSeeThroughTint = 40;
// Between the welcome's two buttons, and around them.
constexpr int kWelcomeSpacing = 12;

} // namespace

ScoreView::ScoreView(const Controls& controls, const TChannels& channels, const Ensemble& ensemble,
                     const TransportState& transport, QObject* parent)
    : QObject(parent), m_controls(controls), m_channels(channels), m_ensemble(ensemble),
      m_transport(transport) {}

ScoreView::~ScoreView() = default;

void ScoreView::setWelcomeHost(std::unique_ptr<ScoreWelcomeHost> host) {
    m_welcomeHost = std::move(host);
}

// ---- creation ----

void ScoreView::CreateScoreImages() {
    for (int g = 0; g < kScoreGroupCount; ++g) {
        QFrame* staff = m_controls.staffs[static_cast<size_t>(g)];
        if (!staff || m_images[static_cast<size_t>(g)]) {
            continue;
        }
        auto* image = new ScoreImage(staff);
        image->setObjectName(QStringLiteral("imgScore%1").arg(g));
        image->setGeometry(staff->contentsRect());
        connect(image, &ScoreImage::pixelRatioChanged, this, &ScoreView::queueRedrawIfStale);
        image->show();
        m_images[static_cast<size_t>(g)] = image;
    }
    createWelcomeButtons();
    ensureSurfaces();
    clearImages();
}

void ScoreView::createWelcomeButtons() {
    QFrame* staff = m_controls.staffs[static_cast<size_t>(groupIndex(BellGroup::Big))];
    if (!staff || m_welcomeButtons[0]) {
        return;
    }
    const struct {
        const char* name;
        const QString& caption;
        void (ScoreWelcomeHost::*action)();
    } buttons[] = {
        {"btnWelcomeTrezvon", scorewelcome::kPlayCaption, &ScoreWelcomeHost::playTrezvonWithAllBells},
        {"btnWelcomeLesson", scorewelcome::kLessonCaption, &ScoreWelcomeHost::openProgramLesson},
    };
    for (size_t i = 0; i < m_welcomeButtons.size(); ++i) {
        auto* button = new QPushButton(buttons[i].caption, staff);
        button->setObjectName(QString::fromLatin1(buttons[i].name));
        // A click leaves the focus where it was (the bell strip), so the
        // keys go on ringing bells.
        button->setFocusPolicy(Qt::TabFocus);
        button->hide();
        const auto action = buttons[i].action;
        connect(button, &QPushButton::clicked, this, [this, action] {
            guarded(lcScore, "welcome button", [&] {
                if (m_welcomeHost) {
                    (m_welcomeHost.get()->*action)();
                }
            });
        });
        m_welcomeButtons[i] = button;
    }
}

void ScoreView::CreateScoreCursors() {
    for (int g = 0; g < kScoreGroupCount; ++g) {
        QFrame* staff = m_controls.staffs[static_cast<size_t>(g)];
        if (!staff || m_cursors[static_cast<size_t>(g)]) {
            continue;
        }
        auto* bar = new ScoreCursorBar(kCursorColour, staff);
        bar->setObjectName(QStringLiteral("pnlScoreCursor%1").arg(g));
        bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
        bar->setLineWidth(1);
        bar->setSeeThrough(m_readable || m_editing, kSeeThroughTint);
        bar->setGeometry(4, 4, 4, 4);
        bar->show();
        bar->raise();
        m_cursors[static_cast<size_t>(g)] = bar;
    }
}

// ---- geometry ----

QSize ScoreView::staffSize(int group) const {
    const QFrame* staff = m_controls.staffs[static_cast<size_t>(group)];
    return staff ? staff->contentsRect().size() : QSize();
}

qreal ScoreView::pixelRatio() const {
    const QWidget* window = m_controls.window;
    return window ? window->devicePixelRatioF() : 1.0;
}

void ScoreView::ensureSurfaces() {
    // At the staff's size, rounded up so that a window dragged larger makes a
    // new surface every kSurfaceStep pixels, not at every pixel. A surface
    // only grows (see ScoreImage::ensureSurface): a window made smaller
    // keeps drawing on the one it has.
    constexpr int kSurfaceStep = 64;
    const auto roundUp = [](int pixels) {
        return (std::max(1, pixels) + kSurfaceStep - 1) / kSurfaceStep * kSurfaceStep;
    };
    for (int g = 0; g < kScoreGroupCount; ++g) {
        if (ScoreImage* image = m_images[static_cast<size_t>(g)]) {
            const QSize staff = staffSize(g);
            image->ensureSurface(QSize(roundUp(staff.width()), roundUp(staff.height())), pixelRatio());
        }
    }
}

void ScoreView::FitScoreImages() {
    bool stale = false;
    for (int g = 0; g < kScoreGroupCount; ++g) {
        ScoreImage* image = m_images[static_cast<size_t>(g)];
        if (image) {
            image->setGeometry(m_controls.staffs[static_cast<size_t>(g)]->contentsRect());
            stale = stale || m_drawnSizes[static_cast<size_t>(g)] != staffSize(g);
        }
    }
    if (m_welcomeShown) {
        placeWelcomeButtons();
    }
    if (stale) {
        queueRedrawIfStale();
    }
}

void ScoreView::queueRedrawIfStale() {
    // A staff that changed size outside the window's own layout (its first
    // showing, a style change) or moved to a screen of another pixel ratio is
    // redrawn once the layout settles, unless a fitting redraw comes first.
    if (!m_redrawQueued) {
        m_redrawQueued = true;
        QMetaObject::invokeMethod(
            this, [this] { redrawIfStale(); }, Qt::QueuedConnection);
    }
}

void ScoreView::redrawIfStale() {
    m_redrawQueued = false;
    guarded(lcScore, "redrawIfStale", [&] {
        bool stale = false;
        for (int g = 0; g < kScoreGroupCount; ++g) {
            const ScoreImage* image = m_images[static_cast<size_t>(g)];
            stale = stale || (image && (m_drawnSizes[static_cast<size_t>(g)] != staffSize(g) ||
                                        image->surface().devicePixelRatio() != pixelRatio()));
        }
        if (stale && m_controls.showNotes && m_controls.showNotes->isChecked()) {
            redraw();
            LayoutScoreCursors();
        }
    });
}

// ---- drawing ----

QColor ScoreView::faceColour() const {
    const QWidget* window = m_controls.window;
    return window ? window->palette().color(QPalette::Window) : QColor(240, 240, 240);
}

QColor ScoreView::inkColour() const {
    const QWidget* window = m_controls.window;
    return window ? window->palette().color(QPalette::WindowText) : QColor(0, 0, 0);
}

ScorePage ScoreView::currentPage() const {
    ScorePage page;
    for (int g = 0; g < kScoreGroupCount; ++g) {
        page.groups[static_cast<size_t>(g)] = m_channels.score(g);
    }
    page.page = m_transport.currentPage;
    page.counts = {m_ensemble.groupCount(kSmallGroup), m_ensemble.groupCount(kMiddleGroup),
                   m_ensemble.groupCount(kBigGroup)};
    page.simplified = m_controls.grid && m_controls.grid->isChecked();
    page.readable = m_readable;
    page.roomAbove = true;
    page.keyMargin = true;
    if (m_readable && m_keyLabels) {
        for (int g = 0; g < kScoreGroupCount; ++g) {
            QStringList& labels = page.keyLabels[static_cast<size_t>(g)];
            for (int position = 1; position <= page.counts[static_cast<size_t>(g)]; ++position) {
                labels << m_keyLabels(g, position);
            }
        }
    }
    return page;
}

void ScoreView::clearImages() {
    FitScoreImages();
    const QColor face = faceColour();
    for (ScoreImage* image : m_images) {
        if (image) {
            image->clear(face);
        }
    }
}

void ScoreView::drawGroups(bool grid, bool notation) {
    guarded(lcScore, "drawGroups", [&] {
        FitScoreImages();
        ensureSurfaces();
        const bool welcome = welcomeWanted();
        const ScorePage page = currentPage();
        std::array<std::vector<ScorePrimitive>, 3> layouts;
        std::array<std::vector<ScoreText>, 3> texts;
        std::array<QSize, 3> sizes;
        for (int g = 0; g < kScoreGroupCount; ++g) {
            sizes[static_cast<size_t>(g)] = staffSize(g);
            std::vector<ScorePrimitive>& out = layouts[static_cast<size_t>(g)];
            if (welcome) {
                continue; // nothing loaded: no notation, and the welcome in place of the grid
            }
            std::vector<ScoreText>& words = texts[static_cast<size_t>(g)];
            if (grid) {
                out = layoutScoreGrid(g, sizes[static_cast<size_t>(g)], page);
                words = layoutReadableLabels(g, sizes[static_cast<size_t>(g)], page);
            }
            if (notation) {
                std::vector<ScorePrimitive> notes = layoutScorePage(g, sizes[static_cast<size_t>(g)], page);
                out.insert(out.end(), notes.begin(), notes.end());
                const std::vector<ScoreText> marks =
                    layoutReadableMarks(g, sizes[static_cast<size_t>(g)], page);
                words.insert(words.end(), marks.begin(), marks.end());
            }
        }
        const QColor face = faceColour();
        for (int g = 0; g < kScoreGroupCount; ++g) {
            ScoreImage* image = m_images[static_cast<size_t>(g)];
            if (!image || image->surface().isNull()) {
                continue;
            }
            QPainter painter(&image->surface());
            painter.setClipRect(QRect(QPoint(0, 0), sizes[static_cast<size_t>(g)]));
            if (welcome && grid) {
                paintScoreWelcome(painter, g, sizes[static_cast<size_t>(g)], face, inkColour(),
                                  m_controls.window ? m_controls.window->font() : QFont());
            }
            paintScorePrimitives(painter, layouts[static_cast<size_t>(g)], face);
            if (!texts[static_cast<size_t>(g)].empty()) {
                paintScoreTexts(painter, texts[static_cast<size_t>(g)], face,
                                m_controls.window ? m_controls.window->font() : QFont());
            }
            painter.end();
            image->update();
            m_drawnSizes[static_cast<size_t>(g)] = sizes[static_cast<size_t>(g)];
        }
        if (notation) {
            m_drawnPage = page.page;
        }
        showWelcome(welcome);
    });
}

bool ScoreView::welcomeWanted() const {
    scorewelcome::State state;
    state.selectedBells = m_ensemble.selectedCount();
    state.ringingLoaded = !m_channels.common().isEmpty();
    state.scoreShown = !m_controls.showNotes || m_controls.showNotes->isChecked();
    return scorewelcome::shown(state);
}

void ScoreView::showWelcome(bool shown) {
    for (QPushButton* button : m_welcomeButtons) {
        if (button) {
            button->setVisible(shown);
            button->raise();
        }
    }
    if (shown) {
        placeWelcomeButtons();
    }
    if (shown != m_welcomeShown) {
        // The bars mark a column of a ringing: there is none while the
        // welcome stands.
        for (QFrame* bar : m_cursors) {
            if (bar) {
                bar->setVisible(!shown);
            }
        }
    }
    m_welcomeShown = shown;
}

void ScoreView::placeWelcomeButtons() {
    const QFrame* staff = m_controls.staffs[static_cast<size_t>(groupIndex(BellGroup::Big))];
    QPushButton* first = m_welcomeButtons[0];
    QPushButton* second = m_welcomeButtons[1];
    if (!staff || !first || !second) {
        return;
    }
    const QRect area = staff->contentsRect();
    const QSize a = first->sizeHint();
    const QSize b = second->sizeHint();
    // Side by side where the staff is wide enough, one above the other otherwise.
    if (a.width() + kWelcomeSpacing + b.width() <= area.width()) {
        const int left = area.left() + (area.width() - a.width() - kWelcomeSpacing - b.width()) / 2;
        const int height = std::max(a.height(), b.height());
        const int top = area.top() + std::max(0, (area.height() - height) / 2);
        first->setGeometry(left, top, a.width(), height);
        second->setGeometry(left + a.width() + kWelcomeSpacing, top, b.width(), height);
    } else {
        const int width = std::min(area.width(), std::max(a.width(), b.width()));
        const int left = area.left() + (area.width() - width) / 2;
        const int top = area.top() + std::max(0, (area.height() - a.height() - b.height()) / 2);
        first->setGeometry(left, top, width, a.height());
        second->setGeometry(left, top + a.height(), width, b.height());
    }
}

void ScoreView::RedrawScore() {
    guarded(lcScore, "RedrawScore", [&] {
        clearImages();
        drawGroups(true, true);
    });
}

void ScoreView::DrawScoreGrid() {
    drawGroups(true, false);
}

void ScoreView::DrawScorePage() {
    drawGroups(false, true);
}

void ScoreView::ResetScoreView() {
    guarded(lcScore, "ResetScoreView", [&] {
        clearImages();
        placeCursor();
        DrawScoreGrid();
    });
}

QImage ScoreView::picture(int group) const {
    if (group < 0 || group >= kScoreGroupCount || !m_images[static_cast<size_t>(group)]) {
        return {};
    }
    const QImage& surface = m_images[static_cast<size_t>(group)]->surface();
    const qreal ratio = surface.devicePixelRatio();
    const QSize size = staffSize(group);
    QImage copy =
        surface.copy(0, 0, static_cast<int>(size.width() * ratio), static_cast<int>(size.height() * ratio));
    copy.setDevicePixelRatio(ratio);
    return copy;
}

ScoreImage* ScoreView::image(int group) const {
    return group >= 0 && group < kScoreGroupCount ? m_images[static_cast<size_t>(group)].data() : nullptr;
}

QFrame* ScoreView::cursor(int group) const {
    return group >= 0 && group < kScoreGroupCount ? m_cursors[static_cast<size_t>(group)].data() : nullptr;
}

// ---- cursor ----

void ScoreView::PlaceScoreCursor() {
    guarded(lcScore, "PlaceScoreCursor", [&] {
        // All three bars follow the small staff's width, so they stand one above the other.
        const int left = scoreCursorLeft(m_transport.currentColumn, cursorArea(0));
        for (int g = 0; g < kScoreGroupCount; ++g) {
            QFrame* bar = m_cursors[static_cast<size_t>(g)];
            if (bar) {
                const QPoint origin = m_controls.staffs[static_cast<size_t>(g)]->contentsRect().topLeft();
                bar->move(origin.x() + left, origin.y() + 4);
            }
        }
    });
}

ScoreStaffArea ScoreView::cursorArea(int group) const {
    // Only the margin counts: the bars span the picture's height.
    ScorePage page;
    page.readable = m_readable;
    page.keyMargin = true;
    return scoreStaffArea(group, staffSize(group), page);
}

void ScoreView::LayoutScoreCursors() {
    guarded(lcScore, "LayoutScoreCursors", [&] {
        for (int g = 0; g < kScoreGroupCount; ++g) {
            QFrame* bar = m_cursors[static_cast<size_t>(g)];
            if (bar) {
                const ScoreStaffArea area = cursorArea(g);
                bar->resize(scoreCursorSize(QSize(area.size.width(), staffSize(g).height())));
            }
        }
        placeCursor();
        for (ScoreImage* image : m_images) {
            if (image) {
                image->update();
            }
        }
    });
}

// ---- score on and off ----

void ScoreView::ShowScore() {
    guarded(lcScore, "ShowScore", [&] {
        for (QLabel* caption : m_controls.captions) {
            if (caption) {
                caption->hide();
            }
        }
        redraw();
        for (QFrame* bar : m_cursors) {
            if (bar) {
                bar->setVisible(!m_welcomeShown);
                bar->raise();
            }
        }
    });
}

void ScoreView::HideScore() {
    guarded(lcScore, "HideScore", [&] {
        clearImages();
        for (QPushButton* button : m_welcomeButtons) {
            if (button) {
                button->hide();
            }
        }
        m_welcomeShown = false;
        for (QFrame* bar : m_cursors) {
            if (bar) {
                bar->hide();
            }
        }
        for (int g = 0; g < kScoreGroupCount; ++g) {
            QLabel* caption = m_controls.captions[static_cast<size_t>(g)];
            if (caption) {
                caption->setText(QStringLiteral("Партитура отключена"));
                caption->setGeometry(m_controls.staffs[static_cast<size_t>(g)]->contentsRect());
                caption->show();
                caption->raise();
            }
        }
    });
}

void ScoreView::setEditing(bool editing) {
    m_editing = editing;
    applyCursorLook();
}

void ScoreView::applyCursorLook() {
    // The play cursor stands on column 0 at every stop: while the score is
    // edited it must not hide the strike written there.
    for (QFrame* bar : m_cursors) {
        if (auto* cursor = qobject_cast<ScoreCursorBar*>(bar)) {
            cursor->setSeeThrough(m_readable || m_editing, kSeeThroughTint);
        }
    }
}

void ScoreView::setReadable(bool readable) {
    guarded(lcScore, "setReadable", [&] {
        if (readable == m_readable) {
            return;
        }
        m_readable = readable;
        applyCursorLook();
        if (m_controls.showNotes && m_controls.showNotes->isChecked()) {
            redraw();
        }
        // The labels' margin narrows the staves: the bars follow.
        LayoutScoreCursors();
    });
}

void ScoreView::cbGridClick() {
    if (m_controls.showNotes && m_controls.showNotes->isChecked()) {
        redraw();
    }
}

void ScoreView::cbShowNotesClick() {
    if (m_controls.showNotes && m_controls.showNotes->isChecked()) {
        ShowScore();
    } else {
        HideScore();
    }
}

void ScoreView::redraw() {
    if (m_hooks.redrawScore) {
        m_hooks.redrawScore();
    } else {
        RedrawScore();
    }
}

void ScoreView::placeCursor() {
    if (m_hooks.placeScoreCursor) {
        m_hooks.placeScoreCursor();
    } else {
        PlaceScoreCursor();
    }
}
