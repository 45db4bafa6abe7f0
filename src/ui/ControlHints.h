#pragma once

#include <QString>

#include <array>

// Hints of the selectors that the usual view and the full view both show,
// so that the two say the same thing.
namespace hints {

inline const QString kCommonRinging = QStringLiteral("Звон для всех групп выбранных колоколов");
// Group 0 small, 1 middle, 2 big.
inline const std::array<QString, 3> kGroupRinging = {
    QStringLiteral("Звон для малых колоколов (играет вместе со звонами других групп)"),
    QStringLiteral("Звон для средних колоколов (играет вместе со звонами других групп)"),
    QStringLiteral("Звон для больших колоколов (играет вместе со звонами других групп)"),
};
inline const QString kAnimationStyle = QStringLiteral("Вид анимации колоколов");

} // namespace hints
