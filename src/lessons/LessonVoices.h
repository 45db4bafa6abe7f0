#pragma once

#include "lessons/LessonTags.h"

#include <array>

// One voice of the lesson window: a player that opens its file, plays it from
// the start, and stops and closes it. Failures (no file, no sound device) are
// the player's own business and never reach the caller.
class LessonVoice {
public:
    virtual ~LessonVoice() = default;
    virtual void playFromStart() = 0;
    virtual void stop() = 0;
};

// Which voice plays and which one stops. A voice talks about the page it
// belongs to, so it is heard only while that page is shown: whatever takes
// the page's place in the window (another lesson from the menu, the help by
// F1 or the menu, a link) silences it first, and closing the window silences
// it. One voice at most is heard. Showing a lesson starts its voice from the
// start, also when it is the lesson shown already.
class LessonVoices {
public:
    // The players by tag (kNoVoice's entry is ignored); any may be null.
    explicit LessonVoices(const std::array<LessonVoice*, lessontags::kTagCount>& players);

    void showWithVoice(int tag);
    void showWithoutVoice();
    // A link led to the page of `tag` (kNoVoice: a page without voice, or
    // one that could not be shown).
    void linkFollowed(int tag);
    void windowClosed();

    int tag() const { return m_tag; }
    // The tag whose voice was started last and not stopped since (kNoVoice
    // when none): it may still be talking.
    int speaking() const { return m_speaking; }

private:
    void silence();

    std::array<LessonVoice*, lessontags::kTagCount> m_players;
    int m_tag = lessontags::kNoVoice;
    int m_speaking = lessontags::kNoVoice;
};
