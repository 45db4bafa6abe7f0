#include "ringing/TChannels.h"

#include "base/Logging.h"
#include "base/Numbers.h"
#include "base/TextCodec.h"
#include "base/TextLists.h"
#include "ringing/RingingText.h"

#include <algorithm>
#include <cstdint>

namespace {

// The group of a token or mark by its first character; -1 for any other.
int groupOfLetter(QChar letter) {
    switch (letter.unicode()) {
    case u's':
        return 0;
    case u'm':
        return 1;
    case u'b':
        return 2;
    default:
        return -1;
    }
}

// The key of a strike token (its group letter and position digit, all of it
// that names a bell), or -1 for a mark or anything else the strike skips.
int strikeKey(const QString& line, qsizetype start, qsizetype end) {
    if (end - start < 2) {
        return -1;
    }
    const int group = groupOfLetter(line.at(start));
    const QChar digit = line.at(start + 1);
    if (group < 0 || digit < u'0' || digit > u'9') {
        return -1;
    }
    return group * 10 + (digit.unicode() - u'0');
}

// Drops the second and later tokens of a bell from a column line; the
// number dropped. One pass, no allocation unless a token goes: a hostile
// file's column of 300,000 "s1" must cost no more than reading it.
int dropRepeatedStrikes(QString& line) {
    std::uint32_t seen = 0;
    int dropped = 0;
    QString kept;
    qsizetype start = 0;
    const qsizetype size = line.size();
    while (start <= size) {
        qsizetype end = line.indexOf(u',', start);
        if (end < 0) {
            end = size;
        }
        const int key = strikeKey(line, start, end);
        const bool repeated = key >= 0 && (seen & (1u << key)) != 0;
        if (key >= 0) {
            seen |= 1u << key;
        }
        if (repeated) {
            if (dropped++ == 0) {
                kept = line.left(start > 0 ? start - 1 : 0);
            }
        } else if (dropped > 0) {
            kept += u',';
            kept += QStringView(line).mid(start, end - start);
        }
        start = end + 1;
    }
    if (dropped > 0) {
        line = kept;
    }
    return dropped;
}

} // namespace

TChannels::TChannels() = default;

void TChannels::clearScores() {
    for (QStringList& s : m_scores) {
        s.clear();
    }
}

bool TChannels::isGroupAnimated(int group) const {
    return group >= 0 && group < kGroupCount && m_animated[static_cast<size_t>(group)];
}

void TChannels::setAllGroupsAnimated() {
    m_animated.fill(true);
}

std::optional<int> TChannels::parseHeader(const QString& header) {
    SplitList(header, QStringLiteral(";"), m_headerFields);
    const std::optional<int> interval =
        m_headerFields.isEmpty() ? std::nullopt : numbers::parseWholeNumber(m_headerFields[0]);
    if (!interval) {
        // No interval, no marks: every group stays animated.
        return std::nullopt;
    }
    if (m_headerFields.size() > 1) {
        SplitList(m_headerFields[1], QStringLiteral(","), m_headerMarks);
        for (const QString& mark : std::as_const(m_headerMarks)) {
            if (mark.size() >= 2 && mark.at(1) == u'-') {
                const int group = groupOfLetter(mark.at(0));
                if (group >= 0) {
                    m_animated[static_cast<size_t>(group)] = false;
                }
            }
        }
    }
    return interval;
}

RingingLoadResult TChannels::LoadRinging(int index, const QString& path, int currentInterval) {
    const RingingFileLines read = readRingingFileLines(path);
    if (!read) {
        RingingLoadResult result;
        result.refused = read.failure;
        return result;
    }
    return loadRingingLines(index, *read.lines, currentInterval);
}

RingingLoadResult TChannels::loadRingingLines(int index, const QStringList& lines, int currentInterval) {
    RingingLoadResult result;
    if (index < 0 || index > kCommonScore) {
        return result;
    }
    m_scratch = lines;
    DecodeRingingText(m_scratch);
    setAllGroupsAnimated();
    result.headerInterval = m_scratch.isEmpty() ? std::nullopt : parseHeader(m_scratch.front());
    if (m_scratch.isEmpty()) {
        // Without a first line there is no body: nothing else changes.
        return result;
    }
    // The first line of a body is always its header, whatever it holds.
    m_scratch.removeFirst();
    // A column holds each bell at most once.
    qint64 dropped = 0;
    qsizetype columns = 0;
    for (QString& line : m_scratch) {
        if (const int n = dropRepeatedStrikes(line); n > 0) {
            dropped += n;
            ++columns;
        }
    }
    if (dropped > 0) {
        qCWarning(lcRinging).noquote() << QStringLiteral("dropped %1 repeated strikes of a bell in %2 columns")
                                              .arg(dropped)
                                              .arg(columns);
    }

    QStringList& target = score(index);
    target.clear();
    if (index == kCommonScore) {
        target = m_scratch;
        SplitCommonScore();
    } else {
        const qsizetype kept = std::min<qsizetype>(kGroupRingingColumns, m_scratch.size());
        target = m_scratch.mid(0, kept);
        MergeGroupScores();
    }
    m_scratch.clear();

    result.loaded = true;
    if (index == kCommonScore) {
        result.interval = result.headerInterval
                              ? std::clamp(*result.headerInterval, kMinInterval, kMaxInterval)
                              : currentInterval;
    } else {
        result.interval = kGroupRingingInterval;
    }
    m_ownInterval = result.interval;
    return result;
}

void TChannels::MergeGroupScores() {
    m_scratch.clear();
    QStringList& commonScore = common();
    commonScore.clear();
    commonScore.reserve(kGroupRingingColumns);
    for (int i = 0; i < kGroupRingingColumns; ++i) {
        QString column;
        for (int g = 0; g < kGroupCount; ++g) {
            const QStringList& group = score(g);
            if (i >= group.size()) {
                continue;
            }
            const QString& line = group.at(i);
            if (!column.isEmpty() && !line.isEmpty()) {
                column += u',';
            }
            column += line;
        }
        commonScore.append(column);
    }
}

void TChannels::SplitCommonScore() {
    for (int g = 0; g < kGroupCount; ++g) {
        score(g).clear();
        score(g).reserve(common().size());
    }
    QStringList tokens;
    for (const QString& line : std::as_const(common())) {
        SplitList(line, QStringLiteral(","), tokens);
        std::array<QString, kGroupCount> parts;
        for (const QString& token : std::as_const(tokens)) {
            if (token.isEmpty()) {
                continue;
            }
            const int group = groupOfLetter(token.front());
            if (group < 0) {
                continue;
            }
            QString& part = parts[static_cast<size_t>(group)];
            if (!part.isEmpty()) {
                part += u',';
            }
            part += token;
        }
        for (int g = 0; g < kGroupCount; ++g) {
            score(g).append(parts[static_cast<size_t>(g)]);
        }
    }
}
