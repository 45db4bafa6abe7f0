#include "bells/Distributions.h"

namespace {

const QString kEmptySlot = QStringLiteral("000");

int digit(const QString& slot, int index) {
    return slot.at(index).digitValue();
}

} // namespace

Distributions::Distributions() {
    for (auto& row : m_table) {
        row.fill(kEmptySlot);
    }
    struct Row {
        int n;
        const char* first;
        const char* second;
    };
    static const Row rows[] = {
        {5, "221", nullptr},  {6, "231", nullptr}, {7, "331", "241"},    {8, "341", "332"},
        {9, "342", nullptr},  {10, "352", "343"},  {11, "353", "362"},   {12, "363", "372"},
        {13, "373", nullptr}, {14, "374", "365"},  {15, "375", nullptr},
    };
    for (const Row& row : rows) {
        m_table[row.n][0] = QString::fromLatin1(row.first);
        if (row.second) {
            m_table[row.n][1] = QString::fromLatin1(row.second);
        }
    }
}

QString Distributions::slot(int n, int v) const {
    if (n < kMinimumBells || n >= static_cast<int>(m_table.size()) || v < 0 || v >= kSlots) {
        return kEmptySlot;
    }
    return m_table[n][v];
}

int Distributions::variantCount(int n) const {
    int k = 0;
    for (int v = 0; v < kSlots; ++v) {
        k += slot(n, v) != kEmptySlot ? 1 : 0;
    }
    return k;
}

QString Distributions::variantWord(int k) {
    if (k == 1) {
        return QStringLiteral(" вариант");
    }
    if (k >= 2 && k <= 4) {
        return QStringLiteral(" варианта");
    }
    return QStringLiteral(" вариантов");
}

QString Distributions::message(int n) const {
    if (n < kMinimumBells) {
        return QStringLiteral("Необходимо выбрать не менее 5 колоколов");
    }
    const int k = variantCount(n);
    return QStringLiteral("Для ") + QString::number(n) + QStringLiteral(" колоколов существует ") +
           QString::number(k) + variantWord(k) + QStringLiteral(" рекомендуемых распределений по группам.");
}

Distributions::Navigation Distributions::navigation(int n, int v) const {
    Navigation nav;
    if (n >= kMinimumBells) {
        nav.previous = v > 0;
        nav.next = v < kSlots - 1 && slot(n, v + 1) != kEmptySlot;
    }
    return nav;
}

void Distributions::assign(Ensemble& ensemble, int v) const {
    for (int i = 0; i < kBellCount; ++i) {
        ensemble.setGroup(i, kNoGroup);
    }
    const int n = ensemble.selectedCount();
    if (n < kMinimumBells) {
        return;
    }
    const QString counts = slot(n, v);
    const int big = digit(counts, 2);
    const int middle = digit(counts, 1);
    int taken = 0;
    for (int i = 0; i < kBellCount; ++i) {
        if (!ensemble.isSelected(i)) {
            continue;
        }
        if (taken < big) {
            ensemble.setGroup(i, kBigGroup);
        } else if (taken < big + middle) {
            ensemble.setGroup(i, kMiddleGroup);
        } else {
            ensemble.setGroup(i, kSmallGroup);
        }
        ++taken;
    }
    for (int i = 0; i <= kLastNonSmallBell; ++i) {
        if (ensemble.group(i) != kSmallGroup) {
            continue;
        }
        if (ensemble.groupCount(kMiddleGroup) >= kMiddleLimit) {
            for (int j = kBellCount - 1; j >= 0; --j) {
                if (ensemble.isSelected(j) && ensemble.group(j) == kMiddleGroup) {
                    ensemble.setGroup(j, kBigGroup);
                    break;
                }
            }
        }
        ensemble.setGroup(i, kMiddleGroup);
    }
}

namespace GroupLimits {

bool canTake(const Ensemble& ensemble, int bell, int group) {
    switch (group) {
    case kSmallGroup:
        return ensemble.groupCount(kSmallGroup) < Distributions::kSmallLimit &&
               bell > Distributions::kLastNonSmallBell;
    case kMiddleGroup:
        return ensemble.groupCount(kMiddleGroup) < Distributions::kMiddleLimit;
    case kBigGroup:
        return ensemble.groupCount(kBigGroup) < Distributions::kBigLimit;
    default:
        return false;
    }
}

bool canAdd(const Ensemble& ensemble, int bell, std::optional<int> rootGroup) {
    if (ensemble.isSelected(bell)) {
        return false;
    }
    if (!rootGroup || ensemble.selectedCount() < Distributions::kMinimumBells) {
        return true;
    }
    switch (*rootGroup) {
    case kSmallGroup:
        return bell > Distributions::kLastNonSmallBell &&
               ensemble.groupCount(kSmallGroup) < Distributions::kSmallLimit;
    case kMiddleGroup:
        return ensemble.groupCount(kMiddleGroup) < Distributions::kMiddleLimit;
    case kBigGroup:
        return ensemble.groupCount(kBigGroup) < Distributions::kBigLimit;
    default:
        return true;
    }
}

} // namespace GroupLimits
