#include "score/ScoreView.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"

#include "bells/Ensemble.h"
#include "playback/TransportState.h"
#include "ringing/TChannels.h"
#include "score/ScoreImage.h"
#include "score/ScorePainter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {

const QColor kCursorColour(0, 0, 255);

} // namespace

ScoreView::ScoreView(const Controls& controls, const TChannels& channels, const Ensemble& ensemble,
                     const TransportState& transport, QObject* parent)
    : QObject(parent), m_controls(controls), m_channels(channels), m_ensemble(ensemble),
      m_transport(transport) {}

ScoreView::~ScoreView() = default;

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
    ensureSurfaces();
    clearImages();
}

void ScoreView::CreateScoreCursors() {
    for (int g = 0; g < kScoreGroupCount; ++g) {
        QFrame* staff = m_controls.staffs[static_cast<size_t>(g)];
        if (!staff || m_cursors[static_cast<size_t>(g)]) {
            continue;
        }
        auto* bar = new QFrame(staff);
        bar->setObjectName(QStringLiteral("pnlScoreCursor%1").arg(g));
        bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
        bar->setLineWidth(1);
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Window, kCursorColour);
        palette.setColor(QPalette::Light, kCursorColour.lighter(170));
        palette.setColor(QPalette::Dark, kCursorColour.darker(170));
        bar->setPalette(palette);
        bar->setAutoFillBackground(true);
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
    // Once at the size of the screen's work area, so that enlarging the
    // window needs no new surface; a staff larger than that (another screen)
    // or a new pixel ratio grows it once.
    const QWidget* window = m_controls.window;
    const QScreen* screen = window && window->screen() ? window->screen() : QApplication::primaryScreen();
    const QSize workArea = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    for (int g = 0; g < kScoreGroupCount; ++g) {
        if (ScoreImage* image = m_images[static_cast<size_t>(g)]) {
            image->ensureSurface(workArea.expandedTo(staffSize(g)), pixelRatio());
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

ScorePage ScoreView::currentPage() const {
    ScorePage page;
    for (int g = 0; g < kScoreGroupCount; ++g) {
        page.groups[static_cast<size_t>(g)] = m_channels.score(g);
    }
    page.page = m_transport.currentPage;
    page.counts = {m_ensemble.groupCount(kSmallGroup), m_ensemble.groupCount(kMiddleGroup),
                   m_ensemble.groupCount(kBigGroup)};
    page.simplified = m_controls.grid && m_controls.grid->isChecked();
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
        const ScorePage page = currentPage();
        std::array<std::vector<ScorePrimitive>, 3> layouts;
        std::array<QSize, 3> sizes;
        for (int g = 0; g < kScoreGroupCount; ++g) {
            sizes[static_cast<size_t>(g)] = staffSize(g);
            std::vector<ScorePrimitive>& out = layouts[static_cast<size_t>(g)];
            if (grid) {
                out = layoutScoreGrid(g, sizes[static_cast<size_t>(g)], page);
            }
            if (notation) {
                std::vector<ScorePrimitive> notes = layoutScorePage(g, sizes[static_cast<size_t>(g)], page);
                out.insert(out.end(), notes.begin(), notes.end());
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
            paintScorePrimitives(painter, layouts[static_cast<size_t>(g)], face);
            painter.end();
            image->update();
            m_drawnSizes[static_cast<size_t>(g)] = sizes[static_cast<size_t>(g)];
        }
    });
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
        const int left = scoreCursorLeft(m_transport.currentColumn, staffSize(0).width());
        for (int g = 0; g < kScoreGroupCount; ++g) {
            QFrame* bar = m_cursors[static_cast<size_t>(g)];
            if (bar) {
                const QPoint origin = m_controls.staffs[static_cast<size_t>(g)]->contentsRect().topLeft();
                bar->move(origin.x() + left, origin.y() + 4);
            }
        }
    });
}

void ScoreView::LayoutScoreCursors() {
    guarded(lcScore, "LayoutScoreCursors", [&] {
        for (int g = 0; g < kScoreGroupCount; ++g) {
            QFrame* bar = m_cursors[static_cast<size_t>(g)];
            if (bar) {
                bar->resize(scoreCursorSize(staffSize(g)));
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
                bar->show();
                bar->raise();
            }
        }
    });
}

void ScoreView::HideScore() {
    guarded(lcScore, "HideScore", [&] {
        clearImages();
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
