#include "LibraryFiles.h"

#include "base/TextCodec.h"
#include "base/TextLists.h"
#include "ringing/RingingFiles.h"
#include "ringing/RingingText.h"
#include "ringing/TChannels.h"

#include <QRegularExpression>
#include <QSet>

std::optional<LoadedBody> loadBody(const QString& path, int scoreIndex, int preambleLines) {
    const std::optional<QStringList> file = readTextLines(path);
    if (!file) {
        return std::nullopt;
    }
    // Library bodies have no preamble; list ringings are read as the
    // chooser reads them.
    QStringList stored = *file;
    if (preambleLines > 0) {
        const std::optional<RingingDocument> document = parseRingingDocument(*file, preambleLines);
        if (!document) {
            return std::nullopt;
        }
        stored = document->body;
    }
    if (stored.isEmpty()) {
        return std::nullopt;
    }
    LoadedBody body;
    body.preamble = file->mid(0, preambleLines);
    body.encoded = stored.size() == 1 && stored.first().contains(QRegularExpression("[_&@$]"));

    TChannels channels;
    const RingingLoadResult load = channels.loadRingingLines(scoreIndex, stored, 144);
    if (!load.loaded) {
        return std::nullopt;
    }
    body.interval = load.headerInterval;
    body.loadedScore = channels.score(scoreIndex);
    for (int g = 0; g < 3; ++g) {
        body.animated[g] = channels.isGroupAnimated(g);
    }

    QStringList lines = stored;
    DecodeRingingText(lines);
    const QStringList header = SplitList(lines.takeFirst(), ";");
    if (header.size() > 1) {
        body.marks = SplitList(header.at(1), ",");
    }
    for (const QString& line : lines) {
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
