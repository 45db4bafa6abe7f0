#include "playback/StrikeVoices.h"

#include "base/Numbers.h"

namespace {

// Aliases are decimal numbers; the two strike kinds draw from 0..maxAlias.
bool inAliasRange(const QString& alias, int maxAlias) {
    const std::optional<int> value = numbers::parseWholeNumber(alias);
    return value && *value >= 0 && *value <= maxAlias;
}

} // namespace

int sendWithResends(const std::function<int()>& attempt) {
    int result = attempt();
    for (int resend = 0; resend < kMciResends && result != kMciOk; ++resend) {
        result = attempt();
    }
    return result;
}

StrikeVoices::StrikeVoices(MciInterpreter& mci, std::uint32_t seed) : m_mci(mci), m_random(seed) {}

int StrikeVoices::sendMci(const QString& command, std::optional<std::int64_t> startFrame, float gain) {
    return sendWithResends([&] { return m_mci.execute(command, nullptr, startFrame, gain); });
}

bool StrikeVoices::isVoicePlaying(const QString& alias) {
    QString answer;
    if (m_mci.execute(QStringLiteral("status ") + alias + QStringLiteral(" mode"), &answer) != kMciOk) {
        return false;
    }
    return answer == QStringLiteral("playing");
}

void StrikeVoices::closeFinishedVoices() {
    QStringList stillPlaying;
    for (const QString& alias : std::as_const(m_aliases)) {
        if (isVoicePlaying(alias)) {
            stillPlaying.append(alias);
        } else {
            sendMci(QStringLiteral("close ") + alias);
        }
    }
    m_aliases = stillPlaying;
}

bool StrikeVoices::rangeFull(int maxAlias) const {
    if (m_aliases.size() <= maxAlias) {
        return false;
    }
    int inRange = 0;
    for (const QString& alias : m_aliases) {
        if (inAliasRange(alias, maxAlias)) {
            ++inRange;
        }
    }
    return inRange > maxAlias;
}

QString StrikeVoices::takeOverOldest(int maxAlias) {
    for (const QString& alias : std::as_const(m_aliases)) {
        if (inAliasRange(alias, maxAlias)) {
            const QString taken = alias;
            sendMci(QStringLiteral("close ") + taken);
            m_aliases.removeAll(taken);
            m_aliases.append(taken);
            return taken;
        }
    }
    return {};
}

QString StrikeVoices::chooseAlias(int maxAlias) {
    std::uniform_int_distribution<int> draw(0, maxAlias);
    for (;;) {
        if (rangeFull(maxAlias)) {
            // Every alias of the range is listed: close the finished ones (a
            // draw would find them one by one); if none has finished, take
            // over the oldest.
            bool closedAny = false;
            for (const QString& alias : QStringList(m_aliases)) {
                if (inAliasRange(alias, maxAlias) && !isVoicePlaying(alias)) {
                    sendMci(QStringLiteral("close ") + alias);
                    m_aliases.removeAll(alias);
                    closedAny = true;
                }
            }
            if (!closedAny) {
                return takeOverOldest(maxAlias);
            }
        }
        const QString alias = QString::number(draw(m_random));
        if (!m_aliases.contains(alias)) {
            m_aliases.append(alias);
            return alias;
        }
        if (isVoicePlaying(alias)) {
            continue;
        }
        sendMci(QStringLiteral("close ") + alias);
        m_aliases.removeAll(alias);
    }
}

QString StrikeVoices::sound(const QString& path, int maxAlias, std::optional<std::int64_t> startFrame,
                            float gain) {
    const QString alias = chooseAlias(maxAlias);
    sendMci(QStringLiteral("open \"waveaudio!") + path + QStringLiteral("\" alias ") + alias);
    sendMci(QStringLiteral("play ") + alias, startFrame, gain);
    return alias;
}

void StrikeVoices::strikeColumn(const QStringList& paths, std::optional<std::int64_t> idealFrame) {
    m_voiceFiles = paths;
    std::optional<std::int64_t> startFrame;
    if (idealFrame) {
        startFrame = *idealFrame + m_mci.engine().schedulingLeadFrames();
    }
    // Those that have started are no longer held.
    const std::int64_t now = m_mci.engine().frameClock();
    while (!m_held.empty() && m_held.front().startFrame < now) {
        m_held.pop_front();
    }
    for (const QString& path : paths) {
        const QString alias = sound(path, kSequencerAliasMax, startFrame);
        if (idealFrame) {
            m_held.push_back({*idealFrame, *startFrame, alias});
        }
    }
}

void StrikeVoices::cancelFrom(std::int64_t idealFrame) {
    closeFrom(m_held, &HeldVoice::idealFrame, idealFrame);
}

void StrikeVoices::closeFrom(std::deque<HeldVoice>& voices, std::int64_t HeldVoice::*frameOf,
                             std::int64_t frame) {
    // Closing a voice puts its stop in the engine's queue; the engine drops
    // a voice that has not sounded yet without a trace.
    std::deque<HeldVoice> kept;
    for (HeldVoice& voice : voices) {
        if (voice.*frameOf >= frame) {
            sendMci(QStringLiteral("close ") + voice.alias);
            m_aliases.removeAll(voice.alias);
        } else {
            kept.push_back(std::move(voice));
        }
    }
    voices.swap(kept);
}

void StrikeVoices::soundAhead(const QString& path, std::int64_t startFrame) {
    const std::int64_t now = m_mci.engine().frameClock();
    std::erase_if(m_ahead, [now](const HeldVoice& voice) { return voice.startFrame < now; });
    // Hand strikes take over the oldest voice of their range when all of it
    // rings: none of these is drawn there (a draw there is given back unopened).
    QString alias = chooseAlias(kSequencerAliasMax);
    while (inAliasRange(alias, kHandStrikeAliasMax)) {
        m_aliases.removeAll(alias);
        alias = chooseAlias(kSequencerAliasMax);
    }
    sendMci(QStringLiteral("open \"waveaudio!") + path + QStringLiteral("\" alias ") + alias);
    sendMci(QStringLiteral("play ") + alias, startFrame);
    m_ahead.push_back({startFrame, startFrame, alias});
}

void StrikeVoices::cancelAheadFrom(std::int64_t startFrame) {
    closeFrom(m_ahead, &HeldVoice::startFrame, startFrame);
}
