#include "playback/MciInterpreter.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool isWord(const QString& text) {
    return !text.isEmpty() && !text.contains(u' ');
}

// "<prefix><alias><suffix>" with a one-word alias.
std::optional<QString> aliasBetween(const QString& command, const QString& prefix, const QString& suffix) {
    if (!command.startsWith(prefix) || !command.endsWith(suffix) ||
        command.size() < prefix.size() + suffix.size()) {
        return std::nullopt;
    }
    const QString alias = command.mid(prefix.size(), command.size() - prefix.size() - suffix.size());
    return isWord(alias) ? std::optional<QString>(alias) : std::nullopt;
}

} // namespace

std::optional<MciCommand> parseMciCommand(const QString& command) {
    static const QString openPrefix = QStringLiteral("open \"waveaudio!");
    static const QString aliasMark = QStringLiteral("\" alias ");
    MciCommand parsed;
    if (command.startsWith(openPrefix)) {
        // The path ends at the last quote followed by " alias ", so a path
        // may hold blanks and even that phrase.
        const qsizetype mark = command.lastIndexOf(aliasMark);
        if (mark < openPrefix.size()) {
            return std::nullopt;
        }
        parsed.kind = MciCommand::Open;
        parsed.path = command.mid(openPrefix.size(), mark - openPrefix.size());
        parsed.alias = command.mid(mark + aliasMark.size());
        if (!isWord(parsed.alias)) {
            return std::nullopt;
        }
        return parsed;
    }
    if (auto alias = aliasBetween(command, QStringLiteral("play "), QString())) {
        parsed.kind = MciCommand::Play;
        parsed.alias = *alias;
        return parsed;
    }
    if (auto alias = aliasBetween(command, QStringLiteral("status "), QStringLiteral(" mode"))) {
        parsed.kind = MciCommand::Status;
        parsed.alias = *alias;
        return parsed;
    }
    if (auto alias = aliasBetween(command, QStringLiteral("close "), QString())) {
        parsed.kind = MciCommand::Close;
        parsed.alias = *alias;
        return parsed;
    }
    return std::nullopt;
}

MciInterpreter::MciInterpreter(audio::AudioEngine& engine) : m_engine(engine) {}

MciInterpreter::~MciInterpreter() {
    for (audio::VoiceHandle handle : std::as_const(m_voices)) {
        m_engine.mixer().close(handle);
    }
}

std::optional<audio::VoiceHandle> MciInterpreter::voiceOf(const QString& alias) const {
    auto it = m_voices.constFind(alias);
    return it == m_voices.constEnd() ? std::nullopt : std::optional<audio::VoiceHandle>(*it);
}

int MciInterpreter::open(const MciCommand& command) {
    if (m_voices.contains(command.alias)) {
        return kMciDuplicateAlias;
    }
    if (!QFileInfo(command.path).isFile()) {
        return kMciFileNotFound;
    }
    const std::string path = QFile::encodeName(command.path).toStdString();
    const bool offline = m_engine.output() == audio::AudioEngine::Output::Offline;
    std::shared_ptr<const audio::Sample> sample =
        offline ? m_engine.samples().get(path) : m_engine.samples().tryGet(path);
    if (!sample) {
        return offline ? kMciCannotDecode : kMciSampleNotReady;
    }
    const std::optional<audio::VoiceHandle> handle = m_engine.mixer().openVoice(sample.get());
    if (!handle) {
        return kMciOutOfVoices;
    }
    m_voices.insert(command.alias, *handle);
    return kMciOk;
}

int MciInterpreter::execute(const QString& command, QString* answer, std::optional<std::int64_t> startFrame,
                            float gain) {
    const std::optional<MciCommand> parsed = parseMciCommand(command);
    if (!parsed) {
        return kMciUnrecognizedCommand;
    }
    if (parsed->kind == MciCommand::Open) {
        return open(*parsed);
    }
    const std::optional<audio::VoiceHandle> handle = voiceOf(parsed->alias);
    if (!handle) {
        return kMciUnknownAlias;
    }
    audio::Mixer& mixer = m_engine.mixer();
    switch (parsed->kind) {
    case MciCommand::Play:
        return mixer.play(*handle, startFrame.value_or(audio::kStartNow), gain) ? kMciOk : kMciBusy;
    case MciCommand::Status:
        if (answer) {
            *answer = mixer.isPlaying(*handle) ? QStringLiteral("playing") : QStringLiteral("stopped");
        }
        return kMciOk;
    case MciCommand::Close:
        mixer.close(*handle);
        m_voices.remove(parsed->alias);
        return kMciOk;
    case MciCommand::Open:
        break;
    }
    return kMciUnrecognizedCommand;
}
