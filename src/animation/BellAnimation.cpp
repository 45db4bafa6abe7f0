#include "animation/BellAnimation.h"

#include "animation/AnimationHost.h"
#include "animation/BellAnimationPicture.h"
#include "animation/FullViewLayout.h"
#include "animation/PicturePlaces.h"

#include <QApplication>
#include <QComboBox>

namespace {

constexpr QSize kFullPictureSize(fullview::kFramePictureWidth, fullview::kFramePictureHeight);

} // namespace

BellAnimation::BellAnimation(AnimationHost& host, QObject* parent) : QObject(parent), m_host(host) {}

BellAnimation::~BellAnimation() = default;

animation::AnimationContext BellAnimation::context() const {
    return animation::contextOf(m_host.ensemble(),
                                {m_host.isGroupAnimated(BellGroup::Small),
                                 m_host.isGroupAnimated(BellGroup::Middle),
                                 m_host.isGroupAnimated(BellGroup::Big)},
                                m_host.isAnimationOn());
}

BellAnimationPicture* BellAnimation::place(View view, int group) const {
    if (group < 0 || group >= animation::kGroupCount) {
        return nullptr;
    }
    return m_places[static_cast<std::size_t>(view)][static_cast<std::size_t>(group)];
}

void BellAnimation::createPlaces(View view) {
    auto& places = m_places[static_cast<std::size_t>(view)];
    if (places[0]) {
        return;
    }
    const bool usual = view == View::Usual;
    QWidget* parent = usual ? m_host.usualPicturesPanel() : m_fullPanel;
    if (!parent) {
        return;
    }
    for (std::size_t group = 0; group < places.size(); ++group) {
        auto* picture =
            new BellAnimationPicture(parent, usual ? pictureplaces::kUsualPicture : kFullPictureSize, usual);
        picture->setObjectName(QStringLiteral("imgAnimation%1%2").arg(usual ? "" : "Full").arg(group));
        // The full view's pictures wait for their panel's first layout.
        picture->move(usual ? pictureplaces::kUsualLeft : 4, usual ? 0 : 2);
        picture->show();
        places[group] = picture;
    }
    if (usual) {
        LayoutBellImages();
    }
}

void BellAnimation::CreateBellImages() {
    animation::loadFrames(m_pictures[static_cast<std::size_t>(View::Usual)], m_host.animateDir());
    createPlaces(View::Usual);
    showState(View::Usual);
}

void BellAnimation::loadCaptionPicture(View view, bool chords) {
    const QString folder = view == View::Usual ? m_host.animateDir() : m_host.bigAnimateDir();
    const QImage picture =
        chords ? animation::captionedPicture(folder + QStringLiteral("accord.bmp"), animation::kChordsCaption,
                                             animation::kChordsCaptionAt, QApplication::font())
               : animation::captionedPicture(folder + QStringLiteral("disable.bmp"),
                                             animation::kAnimationOffCaption,
                                             animation::kAnimationOffCaptionAt, QApplication::font());
    AnimationPictures& pictures = m_pictures[static_cast<std::size_t>(view)];
    (chords ? pictures.chords : pictures.animationOff) = QPixmap::fromImage(picture);
}

void BellAnimation::createCaptionPictures(View view, bool chords) {
    if (view == View::Usual) {
        loadCaptionPicture(view, chords);
    }
    createPlaces(view);
    showState(view);
}

void BellAnimation::CreateChordImages() {
    createCaptionPictures(View::Usual, true);
}

void BellAnimation::CreateAnimationOffImages() {
    createCaptionPictures(View::Usual, false);
}

void BellAnimation::CreateFullBellImages() {
    createPlaces(View::Full);
    showState(View::Full);
}

void BellAnimation::CreateFullChordImages() {
    createCaptionPictures(View::Full, true);
}

void BellAnimation::CreateFullAnimationOffImages() {
    createCaptionPictures(View::Full, false);
}

void BellAnimation::loadFullPictures() {
    if (m_fullPicturesLoaded) {
        return;
    }
    // Marked first: a picture that fails to load is not tried again at
    // every entry, as at start-up it would not have been.
    m_fullPicturesLoaded = true;
    animation::loadFrames(m_pictures[static_cast<std::size_t>(View::Full)], m_host.bigAnimateDir());
    loadCaptionPicture(View::Full, true);
    loadCaptionPicture(View::Full, false);
}

void BellAnimation::LayoutBellImages() {
    const auto& places = m_places[static_cast<std::size_t>(View::Usual)];
    if (!places[0]) {
        return;
    }
    const QComboBox* selector = m_host.groupSelector(BellGroup::Small);
    const int h = selector ? selector->height() : 0;
    const QWidget* panel = places[0]->parentWidget();
    for (std::size_t group = 0; group < places.size(); ++group) {
        const QWidget* band = m_host.groupBand(groupAt(static_cast<int>(group)));
        if (!band) {
            continue;
        }
        // Band and panel lie side by side in one window: their tops compare there.
        const QPoint bandTop = band->mapTo(band->window(), QPoint(0, 0));
        const int top = panel->mapFrom(panel->window(), bandTop).y();
        places[group]->setGeometry(pictureplaces::usualPlace(top, band->height(), h));
    }
}

void BellAnimation::LayoutFullImages() {
    const auto& places = m_places[static_cast<std::size_t>(View::Full)];
    if (!places[0]) {
        return;
    }
    const std::array<QRect, 4> rects =
        pictureplaces::fullPlaces(m_fullPanel->height(), m_fullPanel->contentsRect().width());
    for (std::size_t group = 0; group < places.size(); ++group) {
        places[group]->setGeometry(rects[group]);
    }
}

void BellAnimation::showState() {
    showState(m_state.activeView());
}

void BellAnimation::showState(View view) {
    const auto& places = m_places[static_cast<std::size_t>(view)];
    const AnimationPictures& pictures = m_pictures[static_cast<std::size_t>(view)];
    for (int group = 0; group < animation::kGroupCount; ++group) {
        if (BellAnimationPicture* picture = places[static_cast<std::size_t>(group)]) {
            picture->showPicture(&pictures.picture(m_state.shown(view, group)));
        }
    }
}

void BellAnimation::ShowStrikeFrame(int bell) {
    const auto result = m_state.showStrikeFrame(context(), animation::frameKeyOf(m_host.ensemble(), bell));
    if (result == animation::BellAnimationState::StrikeResult::Nothing) {
        return;
    }
    if (result == animation::BellAnimationState::StrikeResult::Frame) {
        // The caller starts the timer again, so the rest comes 150 ms after the last strike.
        m_host.stopResetTimer();
    }
    showState();
}

void BellAnimation::HideGroupFrames(QChar letter) {
    m_state.hideGroupFrames(context(), letter);
    showState();
}

void BellAnimation::ResetBellImages() {
    m_state.resetBellImages(context());
    showState();
}

void BellAnimation::HideOtherViewImages() {
    m_state.hideOtherViewImages();
    showState();
}

void BellAnimation::cbViewChange() {
    selectStyle(m_host.usualStyle());
}

void BellAnimation::selectStyle(int style) {
    m_state.selectStyle(context(), style == 1);
    showState();
}

void BellAnimation::cbShowMovieClick() {
    const bool on = m_host.isAnimationOn();
    if (!on) {
        m_host.stopResetTimer();
    }
    m_state.switchAnimation(context());
    m_host.enableStyleSelectors(on);
    showState();
}

void BellAnimation::ringingLoaded() {
    m_state.ringingLoaded(context());
    showState();
}

void BellAnimation::setFullView(bool full) {
    if (full) {
        loadFullPictures();
    }
    m_state.setFullView(full);
    m_state.switchAnimation(context());
    showState();
}
