#include "input/MidiSettings.h"

#include "base/ProfileFile.h"

#include <algorithm>

namespace {

const QString kSection = QStringLiteral("MIDI");

} // namespace

std::optional<MidiPort> MidiSettings::port() const {
    // "ALSA|Pads:Pads MIDI 1"
    const QString value = m_file.readString(kSection, QStringLiteral("Port"), QString());
    const qsizetype bar = value.indexOf(QLatin1Char('|'));
    if (bar <= 0 || bar + 1 >= value.size()) {
        return std::nullopt;
    }
    return MidiPort{value.left(bar), value.mid(bar + 1)};
}

void MidiSettings::setPort(const std::optional<MidiPort>& port) {
    m_file.writeString(kSection, QStringLiteral("Port"),
                       port ? port->api + QLatin1Char('|') + port->key() : QString());
}

VelocityCurve MidiSettings::curve() const {
    return curveFromName(m_file.readString(kSection, QStringLiteral("Curve"), QString()));
}

void MidiSettings::setCurve(VelocityCurve curve) {
    m_file.writeString(kSection, QStringLiteral("Curve"), curveName(curve));
}

QString MidiSettings::sectionOf(const MidiPort& port) {
    QString name = port.api + QLatin1Char(' ') + port.key();
    for (QChar& c : name) {
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('=') ||
            c == QLatin1Char(';') || c.unicode() < 0x20) {
            c = QLatin1Char('_');
        }
    }
    return kSection + QLatin1Char(' ') + name;
}

MidiPortSettings MidiSettings::portSettings(const MidiPort& port) const {
    const QString section = sectionOf(port);
    MidiPortSettings settings;
    settings.channel = std::clamp(m_file.readInteger(section, QStringLiteral("Channel"), 0), 0, 16);
    settings.threshold = std::clamp(m_file.readInteger(section, QStringLiteral("Threshold"), 0), 0,
                                    MidiPortSettings::kMostThreshold);
    const std::optional<MidiNoteMap> map =
        m_file.hasKey(section, QStringLiteral("Notes"))
            ? MidiNoteMap::fromText(m_file.readString(section, QStringLiteral("Notes"), QString()), m_bellCount)
            : std::nullopt;
    settings.map = map ? *map : MidiNoteMap::drumMap(m_bellCount);
    return settings;
}

void MidiSettings::setPortSettings(const MidiPort& port, const MidiPortSettings& settings) {
    const QString section = sectionOf(port);
    m_file.writeInteger(section, QStringLiteral("Channel"), settings.channel);
    m_file.writeString(section, QStringLiteral("Notes"), settings.map.toText());
    m_file.writeInteger(section, QStringLiteral("Threshold"), settings.threshold);
}
