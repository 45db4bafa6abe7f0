#include "LibraryRules.h"

#include "ringing/RingingText.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr std::array<QChar, 3> kLetters{u's', u'm', u'b'};

int letterIndex(QChar letter) {
    for (int g = 0; g < 3; ++g) {
        if (kLetters[g] == letter) {
            return g;
        }
    }
    return -1;
}

// Smallest and largest requirement each group list offers: a group needs
// at least two middle bells to carry a motif, and no group can hold more
// bells than the ensemble's group limits allow.
struct GroupRange {
    int lowest;
    int highest;
};

GroupRange groupRange(RingingList list) {
    switch (list) {
    case RingingList::Small:
        return {1, 3};
    case RingingList::Middle:
        return {2, 7};
    default:
        return {1, 5};
    }
}

void checkEnsemble(const QString& types, QStringList& errors) {
    static const QRegularExpression shape(QStringLiteral("^[nsmb]{15}$"));
    if (!shape.match(types).hasMatch()) {
        errors.append(QStringLiteral("types must be fifteen letters n, s, m or b"));
        return;
    }
    std::array<int, 3> sizes{};
    for (int bell = 0; bell < types.size(); ++bell) {
        const int g = letterIndex(types.at(bell));
        if (g < 0) {
            continue;
        }
        ++sizes[g];
        if (g == 0 && bell < 11) {
            errors.append(QStringLiteral("bell %1 is too big for the small group").arg(bell));
        }
    }
    if (sizes[0] > 3 || sizes[1] > 7 || sizes[2] > 5) {
        errors.append(QStringLiteral("the ensemble exceeds the group limits (small 3, middle 7, big 5)"));
    }
    if (sizes[0] + sizes[1] + sizes[2] < 5) {
        errors.append(QStringLiteral("the ensemble has fewer than five bells"));
    }
}

// A group marked as played in chords never strikes one of its bells alone.
void checkChordMarks(const RingingSource& ringing, const std::array<int, 3>& sizes, QStringList& errors) {
    if (ringing.marks.isEmpty()) {
        return;
    }
    for (const QString& mark : ringing.marks.split(u',')) {
        const int g = mark.size() == 2 && mark.at(1) == u'-' ? letterIndex(mark.at(0)) : -1;
        if (g < 0) {
            errors.append(QStringLiteral("mark \"%1\" is not s-, m- or b-").arg(mark));
            continue;
        }
        if (sizes[g] < 2) {
            errors.append(QStringLiteral("mark \"%1\" needs at least two bells in that group").arg(mark));
            continue;
        }
        for (int c = 0; c < ringing.columns.size(); ++c) {
            int struck = 0;
            for (const QString& token : ringing.columns.at(c)) {
                struck += token.at(0) == kLetters[g] ? 1 : 0;
            }
            if (struck == 1) {
                errors.append(QStringLiteral("column %1 strikes one bell alone in a group marked \"%2\"")
                                  .arg(c)
                                  .arg(mark));
                break;
            }
        }
    }
}

} // namespace

QString listFolderName(RingingList list) {
    switch (list) {
    case RingingList::Common:
        return QStringLiteral("common");
    case RingingList::Small:
        return QStringLiteral("small");
    case RingingList::Middle:
        return QStringLiteral("middle");
    case RingingList::Big:
        return QStringLiteral("big");
    case RingingList::Custom:
        break;
    }
    return QStringLiteral("custom");
}

QChar groupLetter(RingingList list) {
    switch (list) {
    case RingingList::Small:
        return u's';
    case RingingList::Middle:
        return u'm';
    case RingingList::Big:
        return u'b';
    default:
        return QChar();
    }
}

std::optional<std::array<int, 3>> allowedGroupSizes(const RingingSource& ringing, RingingList list) {
    std::array<int, 3> sizes{};
    if (list == RingingList::Custom) {
        if (ringing.types.size() != 15) {
            return std::nullopt;
        }
        for (QChar c : ringing.types) {
            const int g = letterIndex(c);
            if (g >= 0) {
                ++sizes[g];
            }
        }
        return sizes;
    }
    static const QRegularExpression common(QStringLiteral("^[0-9]{3}$"));
    static const QRegularExpression single(QStringLiteral("^[0-9]$"));
    if (list == RingingList::Common) {
        if (!common.match(ringing.require).hasMatch()) {
            return std::nullopt;
        }
        for (int g = 0; g < 3; ++g) {
            sizes[g] = ringing.require.at(g).digitValue();
        }
        return sizes;
    }
    if (!single.match(ringing.require).hasMatch()) {
        return std::nullopt;
    }
    sizes[letterIndex(groupLetter(list))] = ringing.require.toInt();
    return sizes;
}

QString bellsForTypes(const QString& types) {
    QString bells;
    for (QChar c : types) {
        bells.append(c == u'n' ? u'0' : u'1');
    }
    return bells;
}

QStringList checkRinging(const RingingSource& ringing, RingingList list) {
    QStringList errors;
    const bool custom = list == RingingList::Custom;
    const bool group = list != RingingList::Common && !custom;
    static const QRegularExpression badName(QStringLiteral("[;/\\\\:*?\"<>|]"));
    if (ringing.name.isEmpty() || badName.match(ringing.name).hasMatch()) {
        errors.append(QStringLiteral("the name must be non-empty and free of ; / \\ : * ? \" < > |"));
    }
    if (ringing.interval < 50 || ringing.interval > 1000) {
        errors.append(QStringLiteral("interval %1 is outside 50..1000 ms").arg(ringing.interval));
    }
    if (custom != !ringing.description.isEmpty()) {
        errors.append(custom ? QStringLiteral("a list ringing needs a description")
                             : QStringLiteral("only list ringings carry a description"));
    }
    if (custom != !ringing.types.isEmpty() || custom == !ringing.require.isEmpty()) {
        errors.append(custom ? QStringLiteral("a list ringing has types and no requirement")
                             : QStringLiteral("a library ringing has a requirement and no types"));
    }
    if (custom && !ringing.types.isEmpty()) {
        checkEnsemble(ringing.types, errors);
    }
    const std::optional<std::array<int, 3>> sizes = allowedGroupSizes(ringing, list);
    if (!sizes) {
        errors.append(QStringLiteral("requirement \"%1\" is malformed").arg(ringing.require));
        return errors;
    }
    if (group) {
        const GroupRange range = groupRange(list);
        const int need = (*sizes)[letterIndex(groupLetter(list))];
        if (need < range.lowest || need > range.highest) {
            errors.append(QStringLiteral("requirement %1 is outside %2..%3")
                              .arg(need)
                              .arg(range.lowest)
                              .arg(range.highest));
        }
        if (ringing.columns.size() != kGroupRingingColumns) {
            errors.append(QStringLiteral("a group ringing loops in exactly %1 columns, not %2")
                              .arg(kGroupRingingColumns)
                              .arg(ringing.columns.size()));
        }
    } else {
        const qint64 ms = qint64(ringing.columns.size()) * ringing.interval;
        if (ms < kShortestRingingMs || ms > kLongestRingingMs) {
            errors.append(QStringLiteral("lasts %1 s; keep it between 30 s and 3 min").arg(ms / 1000.0));
        }
    }
    for (int c = 0; c < ringing.columns.size(); ++c) {
        for (const QString& token : ringing.columns.at(c)) {
            const int g = letterIndex(token.at(0));
            const int position = token.mid(1).toInt();
            if (g < 0 || position < 1 || position > (*sizes)[g]) {
                errors.append(
                    QStringLiteral("column %1 names %2, beyond what the ringing asks for").arg(c).arg(token));
                return errors;
            }
        }
    }
    // The requirement is what the ringing really needs: each group it asks
    // for is struck up to its last position.
    for (int g = 0; g < 3; ++g) {
        const int size = (*sizes)[g];
        if (size == 0) {
            continue;
        }
        const QString last = kLetters[g] + QString::number(size);
        const bool used = std::any_of(ringing.columns.cbegin(), ringing.columns.cend(),
                                      [&](const QStringList& column) { return column.contains(last); });
        if (!used) {
            errors.append(QStringLiteral("%1 is never struck; lower the requirement").arg(last));
        }
    }
    checkChordMarks(ringing, *sizes, errors);
    if (ringing.encoded && !isCarriedByEncoding(ringing.bodyLines())) {
        errors.append(QStringLiteral("the body holds characters the encoded form cannot carry"));
    }
    return errors;
}
