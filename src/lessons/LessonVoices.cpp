#include "lessons/LessonVoices.h"

LessonVoices::LessonVoices(const std::array<LessonVoice*, lessontags::kTagCount>& players)
    : m_players(players) {
    m_players[static_cast<std::size_t>(lessontags::kNoVoice)] = nullptr;
}

void LessonVoices::showWithVoice(int tag) {
    if (!lessontags::hasVoice(tag)) {
        showWithoutVoice();
        return;
    }
    silence();
    if (LessonVoice* player = m_players[static_cast<std::size_t>(tag)]) {
        player->playFromStart();
        m_speaking = tag;
    }
    m_tag = tag;
}

void LessonVoices::showWithoutVoice() {
    silence();
    m_tag = lessontags::kNoVoice;
}

void LessonVoices::linkFollowed(int tag) {
    if (lessontags::hasVoice(tag)) {
        showWithVoice(tag);
    } else {
        showWithoutVoice();
    }
}

void LessonVoices::windowClosed() {
    silence();
}

void LessonVoices::silence() {
    if (!lessontags::hasVoice(m_speaking)) {
        return;
    }
    if (LessonVoice* player = m_players[static_cast<std::size_t>(m_speaking)]) {
        player->stop();
    }
    m_speaking = lessontags::kNoVoice;
}
