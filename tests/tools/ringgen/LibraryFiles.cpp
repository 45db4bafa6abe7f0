#include "LibraryFiles.h"

#include "app/TextCodec.h"
#include "ringing/TextLists.h"

#include <QSet>

std::optional<LoadedBody> loadBody(const QString& path, int preambleLines) {
    std::optional<QStringList> lines = readTextLines(path);
    if (!lines || lines->size() <= preambleLines) {
        return std::nullopt;
    }
    lines->remove(0, preambleLines);
    LoadedBody body;
    const QStringList header = SplitList(lines->takeFirst(), ";");
    bool ok = false;
    const int interval = header.isEmpty() ? 0 : header.first().toInt(&ok);
    if (ok) {
        body.interval = interval;
    }
    if (header.size() > 1) {
        body.marks = SplitList(header.at(1), ",");
    }
    for (const QString& line : *lines) {
        body.columns.append(SplitList(line, ","));
    }
    return body;
}

std::optional<QList<CatalogueLine>> readCatalogue(const QString& path) {
    const std::optional<QStringList> lines = readTextLines(path);
    if (!lines) {
        return std::nullopt;
    }
    QList<CatalogueLine> result;
    for (const QString& line : *lines) {
        const QStringList fields = SplitList(line, ";");
        if (fields.size() < 3) {
            return std::nullopt;
        }
        result.append({fields.at(0), fields.at(1), fields.at(2)});
    }
    return result;
}

QString installedDir() {
    return QStringLiteral(CAMPANIX_RUNTIME_DIR);
}

QList<std::array<int, 3>> recommendedGroupCounts() {
    // small, middle, big per bell count 5..15, variants 0 and 1
    static const char* const kTable[11][2] = {
        {"221", nullptr}, {"231", nullptr}, {"331", "241"},   {"341", "332"},
        {"342", nullptr}, {"352", "343"},   {"353", "362"},   {"363", "372"},
        {"373", nullptr}, {"374", "365"},   {"375", nullptr},
    };
    QSet<int> seen;
    QList<std::array<int, 3>> result;
    for (int mask = 0; mask < (1 << 15); ++mask) {
        QList<int> selected;
        for (int bell = 0; bell < 15; ++bell) {
            if (mask & (1 << bell)) {
                selected.append(bell);
            }
        }
        const int n = int(selected.size());
        if (n < 5) {
            continue;
        }
        for (const char* slot : kTable[n - 5]) {
            if (slot == nullptr) {
                continue;
            }
            const int big = slot[2] - '0';
            const int middle = slot[1] - '0';
            std::array<int, 15> group{}; // 1 small, 2 middle, 3 big
            for (int k = 0; k < n; ++k) {
                group[selected.at(k)] = k < big ? 3 : k < big + middle ? 2 : 1;
            }
            for (int bell = 0; bell <= 10; ++bell) {
                if (group[bell] != 1) {
                    continue;
                }
                int middles = 0;
                int highest = -1;
                for (int b = 0; b < 15; ++b) {
                    if (group[b] == 2) {
                        ++middles;
                        highest = b;
                    }
                }
                if (middles >= 7) {
                    group[highest] = 3;
                }
                group[bell] = 2;
            }
            std::array<int, 3> counts{};
            for (int g : group) {
                if (g > 0) {
                    ++counts[g - 1];
                }
            }
            const int key = counts[0] * 100 + counts[1] * 10 + counts[2];
            if (!seen.contains(key)) {
                seen.insert(key);
                result.append(counts);
            }
        }
    }
    return result;
}
