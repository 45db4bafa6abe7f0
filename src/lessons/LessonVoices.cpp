#include "lessons/LessonVoices.h"

LessonVoices::LessonVoices(const std::array<LessonVoice*, lessontags::kVoiceCount>& players)
    : m_players(players) {}

void LessonVoices::showWithVoice(int tag) {
    if (!lessontags::hasVoice(tag)) {
        showWithoutVoice();
        return;
    }
    if (LessonVoice* player = m_players[static_cast<std::size_t>(tag)]) {
        player->playFromStart();
    }
    m_tag = tag;
}

void LessonVoices::showWithoutVoice() {
    m_tag = lessontags::kNoVoice;
}

void LessonVoices::linkFollowed(int tag) {
    stopCurrent();
    if (lessontags::hasVoice(tag)) {
        showWithVoice(tag);
    } else {
        showWithoutVoice();
    }
}

void LessonVoices::windowClosed() {
    stopCurrent();
}

void LessonVoices::stopCurrent() {
    if (!lessontags::hasVoice(m_tag)) {
        return;
    }
    if (LessonVoice* player = m_players[static_cast<std::size_t>(m_tag)]) {
        player->stop();
    }
}
