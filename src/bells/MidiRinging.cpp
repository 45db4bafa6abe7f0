#include "bells/MidiRinging.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/BellsHost.h"
#include "bells/BellsPanel.h"
#include "bells/Ensemble.h"
#include "bells/KeyboardRingingHook.h"
#include "input/KeyStrikeNotifier.h"

#include <QScopeGuard>

#include <algorithm>
#include <span>

MidiRinging::MidiRinging(BellsPanel& panel, QObject* parent)
    : QObject(parent), m_panel(panel), m_input(new MidiInput(this)),
      m_settings(panel.host().settingsFile(), kBellCount) {
    m_curve = m_settings.curve();
    m_port.map = MidiNoteMap::drumMap(kBellCount);
    connect(m_input, &MidiInput::bytesReceived, this, [this](const QByteArray& bytes, qint64 at) {
        guarded(lcInput, "MIDI message", [&] { handleBytes(bytes, at); });
    });
    connect(m_input, &MidiInput::connectionChanged, this,
            [this](bool listening) { guarded(lcInput, "MIDI port", [&] { connectionChangedTo(listening); }); });
}

void MidiRinging::connectionChangedTo(bool listening) {
    // A message cut off by the unplugging must not run on into the next one.
    m_parser.reset();
    if (const std::optional<MidiPort> port = m_input->chosenPort()) {
        emit instrumentNews(listening ? QStringLiteral("MIDI-инструмент «%1» снова подключён").arg(port->key())
                                      : QStringLiteral("MIDI-инструмент «%1» отключён").arg(port->key()));
    }
    emit connectionChanged(listening);
}

// Never touches the panel: it is destroyed as the panel's child, after the
// panel's own members.
MidiRinging::~MidiRinging() = default;

std::optional<MidiPort> MidiRinging::rememberedPort() const {
    return m_settings.port();
}

void MidiRinging::reconnectRemembered() {
    const std::optional<MidiPort> port = m_settings.port();
    if (!port) {
        return;
    }
    m_port = m_settings.portSettings(*port);
    if (!m_input->open(*port)) {
        qCInfo(lcInput) << "the MIDI port used last is not there:" << port->label();
        emit instrumentNews(QStringLiteral("MIDI-инструмент «%1» не подключён").arg(port->key()));
    }
}

bool MidiRinging::usePort(const std::optional<MidiPort>& port) {
    m_parser.reset();
    m_settings.setPort(port);
    if (!port) {
        m_input->close();
        m_port = MidiPortSettings{0, MidiNoteMap::drumMap(kBellCount)};
        return true;
    }
    m_port = m_settings.portSettings(*port);
    return m_input->open(*port);
}

void MidiRinging::setChannel(int channel) {
    m_port.channel = std::clamp(channel, 0, 16);
    savePortSettings();
}

void MidiRinging::setNoteMap(const MidiNoteMap& map) {
    m_port.map = map;
    savePortSettings();
}

void MidiRinging::setCurve(VelocityCurve curve) {
    m_curve = curve;
    m_settings.setCurve(curve);
}

void MidiRinging::setThreshold(int velocity) {
    m_port.threshold = std::clamp(velocity, 0, MidiPortSettings::kMostThreshold);
    savePortSettings();
}

void MidiRinging::savePortSettings() {
    if (const std::optional<MidiPort> port = m_input->chosenPort()) {
        m_settings.setPortSettings(*port, m_port);
    }
}

void MidiRinging::setLearning(bool on) {
    if (on) {
        m_learn.start();
        m_panel.setBellPicker([this](int bell) { return bellPicked(bell); });
    } else {
        m_learn.stop();
        m_panel.setBellPicker({});
    }
}

bool MidiRinging::bellPicked(int bell) {
    if (!m_learn.isActive()) {
        return false;
    }
    const std::optional<int> note = m_learn.pendingNote();
    if (!m_learn.bellPicked(bell, m_port.map)) {
        // No pad struck yet: the click or key does what it always does.
        return false;
    }
    savePortSettings();
    emit learnChanged(note, bell);
    return true;
}

void MidiRinging::handleBytes(const QByteArray& bytes, std::int64_t steadyNs) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    for (const MidiNote& note : m_parser.feed(std::span(data, static_cast<size_t>(bytes.size())))) {
        handleNote(note, steadyNs);
    }
}

void MidiRinging::handleNote(const MidiNote& note, std::int64_t steadyNs) {
    if (!note.on || !channelAccepted(m_port.channel, note.channel)) {
        return;
    }
    emit noteHeard(note.channel, note.note, note.velocity);
    if (!m_port.strikes(note.velocity)) {
        return;
    }
    if (m_learn.noteStruck(note.note)) {
        emit learnChanged(note.note, -2);
        return;
    }
    const std::optional<MidiPort> port = m_input->openPort();
    if (m_tapListener && port) {
        m_tapListener(StrikeInput::midi(*port), steadyNs);
    }
    const int bell = m_port.map.bellOf(note.note);
    KeyboardRingingHook& keyboard = m_panel.keyboard();
    if (bell < 0 || bell >= kBellCount || !keyboard.keyboardRinging() ||
        !m_panel.ensemble().isSelected(bell)) {
        return;
    }
    m_panel.setCurrentBell(bell);
    // Listeners (the recorder, the trainer) hear of the strike before it
    // sounds, and may ask which input struck.
    m_striking = port ? StrikeInput::midi(*port) : StrikeInput::keys();
    m_strikingNs = steadyNs;
    {
        const auto told = qScopeGuard([this] {
            m_striking.reset();
            m_strikingNs.reset();
        });
        keyboard.keyStrikeNotifier().notifyStrikeAt(bell, steadyNs);
    }
    m_panel.strikeCurrentBell(velocityGain(note.velocity, m_curve));
    m_panel.ShowBellInfo();
}
