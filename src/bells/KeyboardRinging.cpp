#include "bells/KeyboardRinging.h"

#include "bells/TBellData.h"
#include "input/VirtualKeys.h"

#include <algorithm>

namespace KeyboardRinging {

KeyRole roleOf(int virtualKey) {
    KeyRole role;
    switch (virtualKey) {
    case VirtualKeys::kSpace:
        role.toggleCurrent = true;
        role.consumed = true;
        break;
    case VirtualKeys::kLeft:
        role.step = -1;
        role.consumed = true;
        break;
    case VirtualKeys::kRight:
        role.step = 1;
        role.consumed = true;
        break;
    case VirtualKeys::kDigit0 + 1:
    case VirtualKeys::kNumpad0 + 1:
        role.focusGroup = 0;
        break;
    case VirtualKeys::kDigit0 + 2:
    case VirtualKeys::kNumpad0 + 2:
        role.focusGroup = 1;
        break;
    case VirtualKeys::kDigit0 + 3:
    case VirtualKeys::kNumpad0 + 3:
        role.focusGroup = 2;
        break;
    default:
        break;
    }
    return role;
}

bool ringsWith(Qt::KeyboardModifiers modifiers) {
    return !(modifiers &
             (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::GroupSwitchModifier));
}

int steppedBell(int currentBell, int step) {
    return std::clamp(currentBell + step, 0, kBellCount - 1);
}

int bellForKey(const TBellData& catalogue, const Ensemble& ensemble, int virtualKey) {
    for (int bell = 0; bell < kBellCount; ++bell) {
        const std::optional<int> key = catalogue.keyCode(bell);
        if (!key) {
            return -1;
        }
        if (*key == virtualKey && ensemble.isSelected(bell)) {
            return bell;
        }
    }
    return -1;
}

QString strikeToken(const Ensemble& ensemble, int bell) {
    const int group = ensemble.group(bell);
    if (!ensemble.isSelected(bell) || group == kNoGroup) {
        return {};
    }
    int position = 0;
    if (group == kBigGroup) {
        for (int i = 0; i <= bell; ++i) {
            position += (ensemble.isSelected(i) && ensemble.group(i) == group) ? 1 : 0;
        }
    } else {
        for (int i = kBellCount - 1; i >= bell; --i) {
            position += (ensemble.isSelected(i) && ensemble.group(i) == group) ? 1 : 0;
        }
    }
    return QString(Ensemble::letterForGroup(group)) + QString::number(position);
}

QString appendToColumn(const QString& column, const QString& token) {
    if (token.isEmpty()) {
        return column;
    }
    return column.isEmpty() ? token : column + QStringLiteral(",") + token;
}

} // namespace KeyboardRinging
