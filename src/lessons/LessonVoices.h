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

// Which voice plays and which one stops. Showing a page with a voice starts
// that voice from its start and makes its tag current; a page without voice
// only sets the tag to 4. Closing the window stops the voice of the current
// tag alone: a voice started earlier under another tag rings to its end.
// A link inside the window is different: the voice talks about the page it
// belongs to, so leaving that page by a link silences it before the voice of
// the page reached (if any) starts, and one voice at most is heard.
class LessonVoices {
public:
    // The players of tags 0..3; any may be null (no voice for that tag).
    explicit LessonVoices(const std::array<LessonVoice*, lessontags::kVoiceCount>& players);

    void showWithVoice(int tag);
    void showWithoutVoice();
    // A link led to the page of `tag` (kNoVoice: a page without voice, or
    // one that could not be shown).
    void linkFollowed(int tag);
    void windowClosed();

    int tag() const { return m_tag; }

private:
    void stopCurrent();

    std::array<LessonVoice*, lessontags::kVoiceCount> m_players;
    int m_tag = lessontags::kNoVoice;
};
