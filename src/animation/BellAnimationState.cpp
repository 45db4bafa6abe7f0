#include "animation/BellAnimationState.h"

namespace animation {

namespace {

constexpr FrameStyle kStyles[] = {FrameStyle::General, FrameStyle::Schematic};

int setOfLetter(QChar letter) {
    if (letter == u'm') {
        return kMiddleSet;
    }
    if (letter == u'b') {
        return kBigSet;
    }
    return kSmallSet;
}

QChar letterOfGroup(int group) {
    static constexpr char16_t letters[] = {u's', u'm', u'b'};
    return QChar(letters[group]);
}

// The set whose frame 0 is the rest picture of a group.
int restSetOf(int group, int smallCount) {
    if (group == 0) {
        return smallCount <= kSmallThreeLimit ? kSmallThreeSet : kSmallSet;
    }
    return group == 1 ? kMiddleSet : kBigSet;
}

} // namespace

int groupOfSet(int set) {
    return set == kSmallThreeSet ? 0 : set;
}

BellImageStack::BellImageStack() {
    for (int set = 0; set < kSetCount; ++set) {
        setFrameVisible(set, 0, FrameStyle::General, true);
    }
}

std::size_t BellImageStack::index(int set, int frame, FrameStyle style) {
    return static_cast<std::size_t>((set * kFramesPerSet + frame) * kStyleCount + static_cast<int>(style));
}

bool BellImageStack::frameVisible(int set, int frame, FrameStyle style) const {
    return m_frames.at(index(set, frame, style));
}

void BellImageStack::setFrameVisible(int set, int frame, FrameStyle style, bool visible) {
    m_frames.at(index(set, frame, style)) = visible;
}

ShownPicture BellImageStack::shown(int group) const {
    if (offVisible(group)) {
        return ShownPicture::of(ShownPicture::Kind::AnimationOff);
    }
    if (chordsVisible(group)) {
        return ShownPicture::of(ShownPicture::Kind::Chords);
    }
    // Sets were created in the order small, middle, big, small-three, frames
    // 0..7 within a set, each general frame before its schematic twin: the
    // last visible one in that order lies on top.
    for (int set = kSetCount - 1; set >= 0; --set) {
        if (groupOfSet(set) != group) {
            continue;
        }
        for (int frame = kFramesPerSet - 1; frame >= 0; --frame) {
            for (FrameStyle style : {FrameStyle::Schematic, FrameStyle::General}) {
                if (frameVisible(set, frame, style)) {
                    return ShownPicture::frameOf(set, frame, style);
                }
            }
        }
    }
    return {};
}

AnimationContext contextOf(const Ensemble& ensemble, const std::array<bool, kGroupCount>& groupAnimated,
                           bool animationOn) {
    AnimationContext context;
    context.selectedCount = ensemble.selectedCount();
    context.groupCounts = {ensemble.groupCount(kSmallGroup), ensemble.groupCount(kMiddleGroup),
                           ensemble.groupCount(kBigGroup)};
    context.groupAnimated = groupAnimated;
    context.animationOn = animationOn;
    return context;
}

std::optional<FrameKey> frameKeyOf(const Ensemble& ensemble, int bell) {
    if (!ensemble.isSelected(bell)) {
        return std::nullopt;
    }
    const int code = ensemble.group(bell);
    if (code < kSmallGroup || code > kBigGroup) {
        return std::nullopt;
    }
    int rank = 0;
    for (int b = 0; b <= bell; ++b) {
        if (ensemble.isSelected(b) && ensemble.group(b) == code) {
            ++rank;
        }
    }
    return FrameKey{code - kSmallGroup, rank};
}

std::optional<StrikeFrame> strikeFrameOf(const FrameKey& key, int smallCount) {
    StrikeFrame result;
    result.frame = key.rank;
    if (key.group == 0) {
        result.set = smallCount <= kSmallThreeLimit ? kSmallThreeSet : kSmallSet;
        if (smallCount < kSmallThreeLimit) {
            ++result.frame;
        }
    } else {
        result.set = key.group == 1 ? kMiddleSet : kBigSet;
    }
    if (result.frame < 1 || result.frame >= kFramesPerSet) {
        return std::nullopt;
    }
    return result;
}

BellAnimationState::StrikeResult BellAnimationState::showStrikeFrame(const AnimationContext& context,
                                                                     std::optional<FrameKey> key) {
    if (context.selectedCount < kMinimumBellsForAnimation || !key || key->group < 0 ||
        key->group >= kGroupCount) {
        return StrikeResult::Nothing;
    }
    if (!context.groupAnimated[static_cast<std::size_t>(key->group)]) {
        active().setChordsVisible(key->group, true);
        return StrikeResult::Chords;
    }
    const std::optional<StrikeFrame> frame = strikeFrameOf(*key, context.smallCount());
    if (!frame) {
        // A bell the drawn set lacks leaves the group's picture as it is.
        return StrikeResult::Nothing;
    }
    hideGroupFrames(context, letterOfGroup(key->group));
    active().setFrameVisible(frame->set, frame->frame, style(), true);
    return StrikeResult::Frame;
}

void BellAnimationState::hideGroupFrames(const AnimationContext& context, QChar letter) {
    BellImageStack& images = active();
    const int set = setOfLetter(letter);
    // With four or more small bells frame 0 stays under the struck frame.
    const int first = context.smallCount() < 4 ? 0 : 1;
    for (int frame = first; frame < kFramesPerSet; ++frame) {
        for (FrameStyle s : kStyles) {
            images.setFrameVisible(set, frame, s, false);
        }
    }
    if (set == kSmallSet) {
        for (int frame = 0; frame < kFramesPerSet; ++frame) {
            for (FrameStyle s : kStyles) {
                images.setFrameVisible(kSmallThreeSet, frame, s, false);
            }
        }
    }
    if (context.animationOn) {
        refreshChordImages(context);
    }
}

void BellAnimationState::refreshChordImages(const AnimationContext& context) {
    for (int group = 0; group < kGroupCount; ++group) {
        active().setChordsVisible(group, !context.groupAnimated[static_cast<std::size_t>(group)]);
    }
}

void BellAnimationState::resetBellImages(const AnimationContext& context) {
    for (int group = 0; group < kGroupCount; ++group) {
        if (context.groupAnimated[static_cast<std::size_t>(group)]) {
            hideGroupFrames(context, letterOfGroup(group));
        }
    }
    for (int group = 0; group < kGroupCount; ++group) {
        if (context.groupAnimated[static_cast<std::size_t>(group)]) {
            active().setFrameVisible(restSetOf(group, context.smallCount()), 0, style(), true);
        }
    }
}

void BellAnimationState::hideOtherViewImages() {
    const FrameStyle other = m_schematic ? FrameStyle::General : FrameStyle::Schematic;
    for (int set = 0; set < kSetCount; ++set) {
        for (int frame = 0; frame < kFramesPerSet; ++frame) {
            active().setFrameVisible(set, frame, other, false);
        }
    }
}

void BellAnimationState::selectStyle(const AnimationContext& context, bool schematic) {
    m_schematic = schematic;
    resetBellImages(context);
    hideOtherViewImages();
}

void BellAnimationState::switchAnimation(const AnimationContext& context) {
    if (!context.animationOn) {
        for (int group = 0; group < kGroupCount; ++group) {
            hideGroupFrames(context, letterOfGroup(group));
        }
        for (int group = 0; group < kGroupCount; ++group) {
            active().setChordsVisible(group, false);
            active().setOffVisible(group, true);
        }
        return;
    }
    for (int group = 0; group < kGroupCount; ++group) {
        active().setOffVisible(group, false);
    }
    for (int group = 0; group < kGroupCount; ++group) {
        hideGroupFrames(context, letterOfGroup(group));
    }
    resetBellImages(context);
}

void BellAnimationState::ringingLoaded(const AnimationContext& context) {
    if (context.animationOn) {
        // Also takes away the chord image of a group the previous ringing
        // played in chords and this one animates.
        resetBellImages(context);
    }
    for (int group = 0; group < kGroupCount; ++group) {
        if (!context.groupAnimated[static_cast<std::size_t>(group)]) {
            hideGroupFrames(context, letterOfGroup(group));
        }
    }
}

} // namespace animation
