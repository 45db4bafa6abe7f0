#include "input/StrikeInput.h"

QString StrikeInput::label() const {
    switch (kind) {
    case Kind::Midi:
        return QStringLiteral("MIDI: ") + port.api + QStringLiteral(": ") + port.key();
    case Kind::Microphone:
        return QStringLiteral("микрофон");
    case Kind::Keys:
        break;
    }
    return QStringLiteral("клавиатура");
}
