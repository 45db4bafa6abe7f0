#pragma once

#include "base/BellGroups.h"
#include "bells/Ensemble.h"

#include <QChar>

#include <array>
#include <optional>

// Which picture each group of the animation shows. Every view (the usual one
// and the full view) holds, per group place, a stack of images: the four
// frame sets of eight frames in two styles, then the group's chord image,
// then its animation-off image, each later image lying above the earlier
// ones. The rules below only switch images visible or hidden; what the user
// sees at a place is the top-most visible image there.
namespace animation {

// Places: 0 small, 1 middle, 2 big, as BellGroup numbers them.
using ::kGroupCount;
inline constexpr int kSetCount = 4; // small, middle, big, small-three
inline constexpr int kFramesPerSet = 8;
inline constexpr int kStyleCount = 2;
inline constexpr int kSmallSet = 0;
inline constexpr int kMiddleSet = 1;
inline constexpr int kBigSet = 2;
inline constexpr int kSmallThreeSet = 3;
// With at most this many small bells the small group uses the small-three set.
inline constexpr int kSmallThreeLimit = 3;
// Strikes show nothing while fewer bells than this are selected.
inline constexpr int kMinimumBellsForAnimation = 5;

enum class FrameStyle { General = 0, Schematic = 1 };

// The place (group) where the images of a set lie.
int groupOfSet(int set);

// What one group place shows.
struct ShownPicture {
    enum class Kind { Nothing, Frame, Chords, AnimationOff };
    Kind kind = Kind::Nothing;
    int set = 0;
    int frame = 0;
    FrameStyle style = FrameStyle::General;

    static ShownPicture frameOf(int set, int frame, FrameStyle style) {
        return {Kind::Frame, set, frame, style};
    }
    static ShownPicture of(Kind kind) { return {kind, 0, 0, FrameStyle::General}; }
    bool operator==(const ShownPicture&) const = default;
};

// The visibility of one view's images, as created: frame 0 of each general
// set visible, everything else hidden.
class BellImageStack {
public:
    BellImageStack();

    bool frameVisible(int set, int frame, FrameStyle style) const;
    void setFrameVisible(int set, int frame, FrameStyle style, bool visible);
    bool chordsVisible(int group) const { return m_chords.at(static_cast<std::size_t>(group)); }
    void setChordsVisible(int group, bool visible) { m_chords.at(static_cast<std::size_t>(group)) = visible; }
    bool offVisible(int group) const { return m_off.at(static_cast<std::size_t>(group)); }
    void setOffVisible(int group, bool visible) { m_off.at(static_cast<std::size_t>(group)) = visible; }

    // The top-most visible image of a group's place.
    ShownPicture shown(int group) const;

private:
    static std::size_t index(int set, int frame, FrameStyle style);

    std::array<bool, kSetCount * kFramesPerSet * kStyleCount> m_frames{};
    std::array<bool, kGroupCount> m_chords{};
    std::array<bool, kGroupCount> m_off{};
};

// What the rules read of the rest of the program, taken afresh for each operation.
struct AnimationContext {
    int selectedCount = 0;
    // Selected bells of the small, middle and big group.
    std::array<int, kGroupCount> groupCounts{};
    // The animated-group flags of the loaded ringing; false: played in chords.
    std::array<bool, kGroupCount> groupAnimated{true, true, true};
    // The animation switch ("Анимация").
    bool animationOn = true;

    int smallCount() const { return groupCounts[0]; }
};

// The context of an ensemble; the flags and the switch are the caller's.
AnimationContext contextOf(const Ensemble& ensemble, const std::array<bool, kGroupCount>& groupAnimated,
                           bool animationOn);

// A selected bell's group (0 small, 1 middle, 2 big) and its rank among the
// selected bells of that group, counted from bell 0 (the first has rank 1).
struct FrameKey {
    int group = 0;
    int rank = 0;
    bool operator==(const FrameKey&) const = default;
};
std::optional<FrameKey> frameKeyOf(const Ensemble& ensemble, int bell);

// The set and frame a struck bell shows. The small group uses the
// small-three set when it has at most three bells, and its frame is raised by
// one when it has fewer than three, so that one or two bells strike the
// middle and the smallest of the three drawn ones. Middle and big strikes are
// never raised: their sets have exactly seven bells, and a raise would ask a
// seven-bell group for a frame 8 that does not exist. Nothing when the
// frame falls outside 1..7 (a group larger than its drawn set).
struct StrikeFrame {
    int set = 0;
    int frame = 0;
    bool operator==(const StrikeFrame&) const = default;
};
std::optional<StrikeFrame> strikeFrameOf(const FrameKey& key, int smallCount);

class BellAnimationState {
public:
    enum class View { Usual = 0, Full = 1 };
    enum class StrikeResult { Nothing, Frame, Chords };

    // Shows the struck frame of the bell's group, or the group's chord
    // image when the group is played in chords. Frame: the caller stops the
    // reset timer, which its own caller starts again.
    StrikeResult showStrikeFrame(const AnimationContext& context, std::optional<FrameKey> key);
    // Hides the frames of one group's set(s) ('s', 'm', 'b'; any other letter
    // counts as 's') and, while the animation is on, shows exactly the chord
    // images of the groups played in chords.
    void hideGroupFrames(const AnimationContext& context, QChar letter);
    // Every animated group returns to frame 0 of its set.
    void resetBellImages(const AnimationContext& context);
    // Hides every frame of the style that is not selected.
    void hideOtherViewImages();
    // The style selector changed: the new style at rest.
    void selectStyle(const AnimationContext& context, bool schematic);
    // The animation switch changed to context.animationOn.
    void switchAnimation(const AnimationContext& context);
    // A ringing was loaded: the frames of the groups it plays in chords are
    // hidden and their chord images shown; the other groups at rest.
    void ringingLoaded(const AnimationContext& context);

    // The full-view flag: the operations act on the full view's images while it is set.
    void setFullView(bool full) { m_fullView = full; }
    bool isFullView() const { return m_fullView; }
    bool isSchematic() const { return m_schematic; }
    FrameStyle style() const { return m_schematic ? FrameStyle::Schematic : FrameStyle::General; }

    const BellImageStack& stack(View view) const { return m_stacks.at(static_cast<std::size_t>(view)); }
    ShownPicture shown(View view, int group) const { return stack(view).shown(group); }
    View activeView() const { return m_fullView ? View::Full : View::Usual; }

private:
    BellImageStack& active() { return m_stacks.at(static_cast<std::size_t>(activeView())); }
    void refreshChordImages(const AnimationContext& context);

    std::array<BellImageStack, 2> m_stacks;
    bool m_fullView = false;
    bool m_schematic = false;
};

} // namespace animation
