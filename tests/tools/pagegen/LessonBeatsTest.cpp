// Where the strikes of each exercise fall, and whether two hands can play
// them (the markup is described in LessonPages.h).

#include "LessonPages.h"

namespace {

using namespace lessonpages;

// A claim of data-beats: for each key, its positions (columns 0..15) in
// each bar of the cycle.
using BeatClaim = QMap<QChar, QList<QSet<int>>>;

std::optional<BeatClaim> parseBeats(const QString& text) {
    BeatClaim claim;
    static const QRegularExpression position(QStringLiteral("^([1-4*])(е|и|а)?$"));
    for (const QString& entry : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype colon = entry.indexOf(QLatin1Char(':'));
        const QString key = entry.left(colon).trimmed();
        if (colon < 0 || key.size() != 1) {
            return std::nullopt;
        }
        QList<QSet<int>> cycle;
        for (const QString& bar : entry.mid(colon + 1).split(QLatin1Char('|'))) {
            QSet<int> columns;
            for (const QString& word : bar.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                if (word == QLatin1String("-")) {
                    continue;
                }
                const QRegularExpressionMatch m = position.match(word);
                if (!m.hasMatch()) {
                    return std::nullopt;
                }
                const int offset = QStringLiteral(" еиа").indexOf(m.captured(2).isEmpty() ? QStringLiteral(" ")
                                                                                           : m.captured(2));
                for (int beat = 1; beat <= 4; ++beat) {
                    if (m.captured(1) == QLatin1String("*") || m.captured(1).toInt() == beat) {
                        columns.insert((beat - 1) * 4 + offset);
                    }
                }
            }
            cycle << columns;
        }
        claim.insert(key.at(0), cycle);
    }
    return claim;
}

// "4-11,13-20" as pairs of first and last bar (from 1); empty: every bar.
QList<std::pair<int, int>> parseBars(const QString& text, int barCount) {
    QList<std::pair<int, int>> ranges;
    for (const QString& range : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList ends = range.split(QLatin1Char('-'));
        ranges.push_back({ends.first().toInt(), ends.last().toInt()});
    }
    if (ranges.isEmpty()) {
        ranges.push_back({1, barCount});
    }
    return ranges;
}

std::string positionsText(const QSet<int>& columns) {
    QList<int> sorted(columns.begin(), columns.end());
    std::sort(sorted.begin(), sorted.end());
    std::string text;
    for (int column : sorted) {
        text += std::to_string(column / 4 + 1) + QStringLiteral(" еиа").mid(column % 4, 1).trimmed().toStdString() +
                " ";
    }
    return text.empty() ? "-" : text;
}

// Where the strikes fall, exercise by exercise: every exercise built on a
// ringing says on which beats each of its keys strikes, and the ringing
// strikes them there, bar after bar, and no other key of its part.
TEST_F(LessonContent, ExercisesPlaceTheirStrikesWhereTheRingingDoes) {
    int checkedBars = 0;
    for (const auto& [name, html] : pages) {
        const QString pageSetup = attribute(elementsWith(html, QStringLiteral("data-setup")).first().openTag,
                                            QStringLiteral("data-setup"));
        for (const Element& e : elementsWith(html, QStringLiteral("data-ringing"))) {
            if (!e.openTag.startsWith(QLatin1String("<li"))) {
                continue; // a remark beside the exercises, not an exercise
            }
            const QString ringingName = attribute(e.openTag, QStringLiteral("data-ringing"));
            const QString beats = attribute(e.openTag, QStringLiteral("data-beats"));
            ASSERT_FALSE(beats.isEmpty()) << qPrintable(name) << ": " << qPrintable(ringingName)
                                          << " says nothing of where its strikes fall";
            const std::optional<BeatClaim> claim = parseBeats(beats);
            ASSERT_TRUE(claim) << qPrintable(name) << ": " << qPrintable(beats);
            const QString own = attribute(e.openTag, QStringLiteral("data-setup"));
            const std::optional<Ensemble> ensemble = setUp(own.isEmpty() ? pageSetup : own);
            ASSERT_TRUE(ensemble && ringings.contains(ringingName)) << qPrintable(name);
            const LibraryRinging& ringing = ringings[ringingName];
            QString part = attribute(e.openTag, QStringLiteral("data-part"));
            if (part.isEmpty() && ringing.folder != QLatin1String("common")) {
                part = ringing.folder;
            }
            const QList<QMap<QChar, bool>> columns = columnKeys(ringing.source, *ensemble, part);
            const int barCount = static_cast<int>((columns.size() + 15) / 16);
            for (const auto& [first, last] : parseBars(attribute(e.openTag, QStringLiteral("data-bars")), barCount)) {
                ASSERT_TRUE(first >= 1 && first <= last && last <= barCount)
                    << qPrintable(name) << ": " << qPrintable(ringingName) << " has " << barCount << " bars";
                for (int bar = first; bar <= last; ++bar) {
                    QMap<QChar, QSet<int>> struck;
                    for (int c = 0; c < 16 && (bar - 1) * 16 + c < columns.size(); ++c) {
                        for (QChar key : columns[(bar - 1) * 16 + c].keys()) {
                            struck[key].insert(c);
                        }
                    }
                    for (auto it = struck.cbegin(); it != struck.cend(); ++it) {
                        EXPECT_TRUE(claim->contains(it.key()))
                            << qPrintable(name) << ": " << qPrintable(ringingName) << " bar " << bar << " strikes "
                            << static_cast<char>(it.key().unicode()) << " on " << positionsText(it.value())
                            << "and the page does not say so";
                    }
                    for (auto it = claim->cbegin(); it != claim->cend(); ++it) {
                        const QSet<int>& said = it.value()[(bar - first) % it.value().size()];
                        EXPECT_EQ(positionsText(struck.value(it.key())), positionsText(said))
                            << qPrintable(name) << ": " << qPrintable(ringingName) << " bar " << bar << ", key "
                            << static_cast<char>(it.key().unicode());
                    }
                    ++checkedBars;
                }
            }
        }
    }
    EXPECT_GE(checkedBars, 200);
}

// A page that gives a finger to each key (data-fingers="Z:л5 F:л3 ...") asks
// only what two hands can do: in each of its exercises no finger strikes two
// keys at once, and a finger that moves to another key has an eighth (two
// columns) at least to get there.
TEST_F(LessonContent, TwoHandExercisesArePlayable) {
    int pagesWithHands = 0;
    for (const auto& [name, html] : pages) {
        const QList<Element> maps = elementsWith(html, QStringLiteral("data-fingers"));
        if (maps.isEmpty()) {
            continue;
        }
        ++pagesWithHands;
        QMap<QChar, QString> fingerOf;
        for (const QString& entry :
             attribute(maps.first().openTag, QStringLiteral("data-fingers")).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            fingerOf.insert(entry.at(0), entry.mid(2));
        }
        const QString pageSetup = attribute(elementsWith(html, QStringLiteral("data-setup")).first().openTag,
                                            QStringLiteral("data-setup"));
        for (const Element& e : elementsWith(html, QStringLiteral("data-ringing"))) {
            const QString ringingName = attribute(e.openTag, QStringLiteral("data-ringing"));
            const std::optional<Ensemble> ensemble = setUp(pageSetup);
            ASSERT_TRUE(ensemble && ringings.contains(ringingName)) << qPrintable(name);
            const QList<QMap<QChar, bool>> columns =
                columnKeys(ringings[ringingName].source, *ensemble, attribute(e.openTag, QStringLiteral("data-part")));
            const int barCount = static_cast<int>((columns.size() + 15) / 16);
            QMap<QString, std::pair<int, QChar>> last; // finger: its last column and key
            for (const auto& [first, lastBar] : parseBars(attribute(e.openTag, QStringLiteral("data-bars")), barCount)) {
                for (int c = (first - 1) * 16; c < std::min<qsizetype>(lastBar * 16, columns.size()); ++c) {
                    QMap<QString, QChar> now;
                    for (QChar key : columns[c].keys()) {
                        ASSERT_TRUE(fingerOf.contains(key))
                            << qPrintable(name) << ": no finger for " << static_cast<char>(key.unicode());
                        const QString finger = fingerOf.value(key);
                        EXPECT_FALSE(now.contains(finger))
                            << qPrintable(name) << ": " << qPrintable(ringingName) << " column " << c << ": "
                            << qPrintable(finger) << " on two keys";
                        now.insert(finger, key);
                        if (last.contains(finger) && last[finger].second != key) {
                            EXPECT_GE(c - last[finger].first, 2)
                                << qPrintable(name) << ": " << qPrintable(ringingName) << " column " << c << ": "
                                << qPrintable(finger) << " jumps";
                        }
                        last[finger] = {c, key};
                    }
                }
            }
        }
    }
    EXPECT_GE(pagesWithHands, 1);
}

// The notation of data-beats itself, so that a page cannot pass by a claim
// the test reads wrongly.
TEST(LessonBeats, NotationReadsAsWritten) {
    const std::optional<BeatClaim> claim = parseBeats(QStringLiteral("F: 1 3 4 | 1 3 4 4и; L: * *и *а; G: - | 2е"));
    ASSERT_TRUE(claim);
    EXPECT_EQ(claim->value(QLatin1Char('F')), (QList<QSet<int>>{{0, 8, 12}, {0, 8, 12, 14}}));
    EXPECT_EQ(claim->value(QLatin1Char('L')), (QList<QSet<int>>{{0, 2, 3, 4, 6, 7, 8, 10, 11, 12, 14, 15}}));
    EXPECT_EQ(claim->value(QLatin1Char('G')), (QList<QSet<int>>{{}, {5}}));
    EXPECT_FALSE(parseBeats(QStringLiteral("F: 5")));
    EXPECT_FALSE(parseBeats(QStringLiteral("FG: 1")));
    EXPECT_FALSE(parseBeats(QStringLiteral("F 1")));
    EXPECT_EQ(parseBars(QStringLiteral("4-11,13-20"), 21), (QList<std::pair<int, int>>{{4, 11}, {13, 20}}));
    EXPECT_EQ(parseBars(QString(), 8), (QList<std::pair<int, int>>{{1, 8}}));
}


} // namespace
