#include "input/MidiMapping.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

float velocityGain(int velocity, VelocityCurve curve) {
    const float x = static_cast<float>(std::clamp(velocity, 0, 127)) / 127.0f;
    switch (curve) {
    case VelocityCurve::Soft:
        return std::sqrt(x);
    case VelocityCurve::Hard:
        return x * x;
    case VelocityCurve::Linear:
        break;
    }
    return x;
}

QString curveName(VelocityCurve curve) {
    switch (curve) {
    case VelocityCurve::Soft:
        return QStringLiteral("soft");
    case VelocityCurve::Hard:
        return QStringLiteral("hard");
    case VelocityCurve::Linear:
        break;
    }
    return QStringLiteral("linear");
}

VelocityCurve curveFromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QStringLiteral("soft")) {
        return VelocityCurve::Soft;
    }
    if (n == QStringLiteral("hard")) {
        return VelocityCurve::Hard;
    }
    return VelocityCurve::Linear;
}

void MidiNoteMap::fill() {
    if (!m_filled) {
        m_bells.fill(-1);
        m_filled = true;
    }
}

MidiNoteMap MidiNoteMap::drumMap(int bellCount) {
    // Per bell from the biggest: the kit's low drums first, then the snares,
    // then the cymbals. Second keys of the same instrument share its bell.
    static constexpr int kKeys[][3] = {
        {36, -1, -1}, // bass drum 1
        {35, -1, -1}, // acoustic bass drum
        {41, -1, -1}, // low floor tom
        {43, -1, -1}, // high floor tom
        {45, -1, -1}, // low tom
        {47, -1, -1}, // low-mid tom
        {48, -1, -1}, // hi-mid tom
        {50, -1, -1}, // high tom
        {38, -1, -1}, // acoustic snare
        {40, -1, -1}, // electric snare
        {37, -1, -1}, // side stick
        {39, -1, -1}, // hand clap
        {51, 59, 53}, // ride cymbals, ride bell
        {49, 57, 52}, // crash cymbals, chinese cymbal
        {42, 46, 44}, // hi-hat closed, open, pedal
    };
    MidiNoteMap map;
    map.fill();
    const int bells = std::min<int>(bellCount, static_cast<int>(std::size(kKeys)));
    for (int bell = 0; bell < bells; ++bell) {
        for (const int key : kKeys[bell]) {
            if (key >= 0) {
                map.m_bells[key] = static_cast<signed char>(bell);
            }
        }
    }
    return map;
}

MidiNoteMap MidiNoteMap::chromatic(int firstNote, int bellCount) {
    MidiNoteMap map;
    map.fill();
    for (int bell = 0; bell < bellCount; ++bell) {
        map.assign(firstNote + bell, bell);
    }
    return map;
}

int MidiNoteMap::bellOf(int note) const {
    if (!m_filled || note < 0 || note >= kNotes) {
        return -1;
    }
    return m_bells[note];
}

void MidiNoteMap::assign(int note, int bell) {
    if (note < 0 || note >= kNotes) {
        return;
    }
    fill();
    m_bells[note] = static_cast<signed char>(std::clamp(bell, -1, 127));
}

bool MidiNoteMap::isEmpty() const {
    return !m_filled || std::all_of(m_bells.begin(), m_bells.end(), [](signed char b) { return b < 0; });
}

QString MidiNoteMap::toText() const {
    QStringList pairs;
    for (int note = 0; note < kNotes; ++note) {
        if (bellOf(note) >= 0) {
            pairs << QString::number(note) + QLatin1Char(':') + QString::number(bellOf(note));
        }
    }
    return pairs.join(QLatin1Char(' '));
}

std::optional<MidiNoteMap> MidiNoteMap::fromText(const QString& text, int bellCount) {
    MidiNoteMap map;
    map.fill();
    for (const QString& pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = pair.split(QLatin1Char(':'));
        bool noteOk = false;
        bool bellOk = false;
        const int note = parts.size() == 2 ? parts[0].toInt(&noteOk) : -1;
        const int bell = parts.size() == 2 ? parts[1].toInt(&bellOk) : -1;
        if (!noteOk || !bellOk || note < 0 || note >= kNotes || bell < 0 || bell >= bellCount) {
            return std::nullopt;
        }
        map.m_bells[note] = static_cast<signed char>(bell);
    }
    return map;
}

bool MidiLearn::noteStruck(int note) {
    if (!m_active) {
        return false;
    }
    m_note = note;
    return true;
}

bool MidiLearn::bellPicked(int bell, MidiNoteMap& map) {
    if (!m_active || !m_note) {
        return false;
    }
    map.assign(*m_note, std::max(bell, -1));
    m_note.reset();
    return true;
}
