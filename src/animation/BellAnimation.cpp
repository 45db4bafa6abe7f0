#include "animation/BellAnimation.h"

#include "app/TfrmMain.h"
#include "animation/BellAnimationPicture.h"
#include "animation/FullViewLayout.h"

#include <QApplication>

namespace {

constexpr QSize kUsualPictureSize(129, 60);
constexpr QSize kFullPictureSize(fullview::kFramePictureWidth, fullview::kFramePictureHeight);
constexpr int kUsualPictureLeft = 15;
// Below the group's ringing selector.
constexpr int kUsualPictureGap = 8;

} // namespace

BellAnimation::BellAnimation(TfrmMain& window) : QObject(&window), m_window(window) {}

BellAnimation::~BellAnimation() = default;

animation::AnimationContext BellAnimation::context() const {
    return animation::contextOf(
        m_window.ensemble(),
        {m_window.isGroupAnimated(0), m_window.isGroupAnimated(1), m_window.isGroupAnimated(2)},
        m_window.cbShowMovie->isChecked());
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
    QWidget* parent = usual ? static_cast<QWidget*>(m_window.pnlCustomSelections) : m_window.pnlImages;
    for (std::size_t group = 0; group < places.size(); ++group) {
        auto* picture = new BellAnimationPicture(parent, usual ? kUsualPictureSize : kFullPictureSize, usual);
        picture->setObjectName(QStringLiteral("imgAnimation%1%2").arg(usual ? "" : "Full").arg(group));
        // The full view's pictures wait for their panel's first layout.
        picture->move(usual ? kUsualPictureLeft : 4, usual ? 0 : 2);
        picture->show();
        places[group] = picture;
    }
    if (usual) {
        LayoutBellImages();
    }
}

void BellAnimation::CreateBellImages() {
    animation::loadFrames(m_pictures[static_cast<std::size_t>(View::Usual)], m_window.paths().animateDir());
    createPlaces(View::Usual);
    showState(View::Usual);
}

void BellAnimation::createCaptionPictures(View view, bool chords) {
    const QString folder =
        view == View::Usual ? m_window.paths().animateDir() : m_window.paths().bigAnimateDir();
    const QImage picture =
        chords ? animation::captionedPicture(folder + QStringLiteral("accord.bmp"), animation::kChordsCaption,
                                             animation::kChordsCaptionAt, QApplication::font())
               : animation::captionedPicture(folder + QStringLiteral("disable.bmp"),
                                             animation::kAnimationOffCaption,
                                             animation::kAnimationOffCaptionAt, QApplication::font());
    AnimationPictures& pictures = m_pictures[static_cast<std::size_t>(view)];
    (chords ? pictures.chords : pictures.animationOff) = QPixmap::fromImage(picture);
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
    animation::loadFrames(m_pictures[static_cast<std::size_t>(View::Full)], m_window.paths().bigAnimateDir());
    createPlaces(View::Full);
    showState(View::Full);
}

void BellAnimation::CreateFullChordImages() {
    createCaptionPictures(View::Full, true);
}

void BellAnimation::CreateFullAnimationOffImages() {
    createCaptionPictures(View::Full, false);
}

void BellAnimation::LayoutBellImages() {
    const auto& places = m_places[static_cast<std::size_t>(View::Usual)];
    if (!places[0]) {
        return;
    }
    const QComboBox* selector = m_window.groupSelector(0);
    const int h = selector ? selector->height() : 0;
    const QWidget* bands[] = {m_window.pnlSmall, m_window.pnlMiddle, m_window.pnlBig};
    for (std::size_t group = 0; group < places.size(); ++group) {
        // The band's top in the work area's column, which is this panel's too.
        const QPoint bandTop = bands[group]->mapTo(m_window.pnlWork, QPoint(0, 0));
        const int top = m_window.pnlCustomSelections->mapFrom(m_window.pnlWork, bandTop).y();
        places[group]->move(kUsualPictureLeft, top + h + kUsualPictureGap);
    }
}

void BellAnimation::LayoutFullImages() {
    const auto& places = m_places[static_cast<std::size_t>(View::Full)];
    if (!places[0]) {
        return;
    }
    const std::array<int, 4> tops = fullview::frameTops(m_window.pnlImages->height());
    const int left = fullview::frameLeft(m_window.pnlImages->contentsRect().width());
    for (std::size_t group = 0; group < places.size(); ++group) {
        places[group]->move(left, tops[group]);
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
    const auto result = m_state.showStrikeFrame(context(), animation::frameKeyOf(m_window.ensemble(), bell));
    if (result == animation::BellAnimationState::StrikeResult::Nothing) {
        return;
    }
    if (result == animation::BellAnimationState::StrikeResult::Frame) {
        // The caller starts the timer again, so the rest comes 150 ms after the last strike.
        m_window.mmResetTimer->stop();
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
    m_state.selectStyle(context(), m_window.cbView->currentIndex() == 1);
    showState();
}

void BellAnimation::cbFullViewChange() {
    m_state.selectStyle(context(), m_window.cbFullView->currentIndex() == 1);
    showState();
}

void BellAnimation::cbShowMovieClick() {
    const bool on = m_window.cbShowMovie->isChecked();
    if (!on) {
        m_window.mmResetTimer->stop();
    }
    m_state.switchAnimation(context());
    // The style is chosen only while the animation runs, in either view.
    m_window.cbView->setEnabled(on);
    m_window.cbFullView->setEnabled(on);
    showState();
}

void BellAnimation::ringingLoaded() {
    m_state.ringingLoaded(context());
    showState();
}

void BellAnimation::setFullView(bool full) {
    m_state.setFullView(full);
    m_state.switchAnimation(context());
    showState();
}
