// The lessons against the program's own data: what a page tells the learner
// to press and to choose must be what the program then does.
//
// The pages mark what can be checked:
//   <kbd>L</kbd>                  a key; data-bell="N" ties it to bell N
//   <cite>Конёк</cite>            a ringing of the library; data-require="221"
//                                 gives the bells the page says it needs
//   <tr data-bell="N">            a catalogue row: key, number, name, weight
//   <tr data-group="small" data-bells="2">  a row of group ringings needing
//                                 that many bells of the group
//   data-setup="Z X ..."          the bells the page has the learner select
//                                 (on any element; an exercise may name its own)
//   data-keys-of="small"          the element names exactly that group's keys
//   <li data-exercise="small middle">  the keys used are those groups' keys
//   <li data-ringing="Конёк" [data-part="small"]>  the keys named are exactly
//                                 those the ringing strikes (in that part)
//   data-beats="F: 1 3 4 | 1 3 4 4и; G: 2 2и 4и"  where each key strikes
//                                 within the bar: beats 1-4 ("*" every beat),
//                                 then е, и or а for the 2nd, 3rd or 4th
//                                 sixteenth of the beat, "-" for nothing; "|"
//                                 parts the bars of a cycle that repeats
//   data-bars="4-11,13-20"        the bars (from 1) the beats speak of; each
//                                 range starts the cycle again (all bars when
//                                 absent)

#include "Catalogue.h"
#include "Illustrations.h"
#include "RingingSource.h"
#include "bells/Distributions.h"
#include "lessons/LessonTags.h"
#include "playback/ColumnStrikes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <map>
#include <optional>

namespace {

const QString kSource = QStringLiteral(CAMPANIX_SOURCE_DIR);

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct Bell {
    QChar key;
    QString name;
    QString weight;
};

// The catalogue as the build writes it, bell index 0 (the biggest) first.
QList<Bell> catalogueBells() {
    QList<Bell> bells;
    const QStringList lines =
        catalogue::sourceLines(readText(kSource + QStringLiteral("/tools/picturegen/bell-catalogue.txt")));
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(';'));
        bells.push_back({QChar(fields.at(catalogue::KeyCode).toInt()), fields.at(catalogue::Name),
                         fields.at(catalogue::Weight)});
    }
    return bells;
}

struct LibraryRinging {
    QString folder; // common, small, middle or big
    RingingSource source;
};

QMap<QString, LibraryRinging> library() {
    QMap<QString, LibraryRinging> found;
    for (const QString& folder : {QStringLiteral("common"), QStringLiteral("small"), QStringLiteral("middle"),
                                  QStringLiteral("big"), QStringLiteral("custom")}) {
        const QDir dir(kSource + QStringLiteral("/data/ringings/") + folder);
        for (const QString& file : dir.entryList({QStringLiteral("*.zvon")}, QDir::Files)) {
            const SourceParse parse = parseRingingSource(readText(dir.filePath(file)), file);
            if (parse.ringing) {
                found.insert(parse.ringing->name, {folder, *parse.ringing});
            }
        }
    }
    return found;
}

int groupCodeOf(const QString& word) {
    if (word == QLatin1String("small")) {
        return kSmallGroup;
    }
    if (word == QLatin1String("middle")) {
        return kMiddleGroup;
    }
    return word == QLatin1String("big") ? kBigGroup : kNoGroup;
}

QString innerText(QString html) {
    return html.remove(QRegularExpression(QStringLiteral("<[^>]*>"))).simplified();
}

QString attribute(const QString& tag, const QString& name) {
    const QRegularExpression re(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(name));
    const QRegularExpressionMatch m = re.match(tag);
    return m.hasMatch() ? m.captured(1) : QString();
}

struct Element {
    QString openTag;
    QString inner;
};

// Elements whose opening tag carries `attributeName`; same-named elements
// are never nested in the pages.
QList<Element> elementsWith(const QString& html, const QString& attributeName) {
    QList<Element> found;
    const QRegularExpression open(QStringLiteral("<(\\w+)\\b[^>]*\\b%1=\"[^\"]*\"[^>]*>").arg(attributeName));
    auto it = open.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString close = QStringLiteral("</") + m.captured(1) + QLatin1Char('>');
        const qsizetype end = html.indexOf(close, m.capturedEnd(0));
        found.push_back(
            {m.captured(0), end < 0 ? QString() : html.mid(m.capturedEnd(0), end - m.capturedEnd(0))});
    }
    return found;
}

QList<Element> elements(const QString& html, const QString& tagName) {
    QList<Element> found;
    const QRegularExpression re(QStringLiteral("(<%1\\b[^>]*>)(.*?)</%1>").arg(tagName),
                                QRegularExpression::DotMatchesEverythingOption);
    auto it = re.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        found.push_back({m.captured(1), m.captured(2)});
    }
    return found;
}

QSet<QChar> keysIn(const QString& html) {
    QSet<QChar> keys;
    for (const Element& kbd : elements(html, QStringLiteral("kbd"))) {
        const QString text = innerText(kbd.inner);
        if (text.size() == 1) {
            keys.insert(text.at(0));
        }
    }
    return keys;
}

// The keys in order, as text the failure messages can show.
std::string keysText(const QSet<QChar>& keys) {
    QList<QChar> sorted(keys.begin(), keys.end());
    std::sort(sorted.begin(), sorted.end());
    std::string text;
    for (QChar k : sorted) {
        text += static_cast<char>(k.unicode());
    }
    return text;
}

class LessonContent : public ::testing::Test {
protected:
    void SetUp() override {
        bells = catalogueBells();
        ASSERT_EQ(bells.size(), kBellCount);
        ringings = library();
        ASSERT_GT(ringings.size(), 40);
        const QDir pagesDir(kSource + QStringLiteral("/data/pages/Voice"));
        for (const QString& name : pagesDir.entryList({QStringLiteral("*.htm")}, QDir::Files)) {
            pages[name] = readText(pagesDir.filePath(name));
        }
        ASSERT_EQ(pages.size(), lessontags::kVoicedTags.size());
    }

    // The ensemble the program makes of the bells of these keys: selected,
    // then divided by the recommended distribution (variant 0).
    std::optional<Ensemble> setUp(const QString& keys) const {
        Ensemble ensemble;
        for (const QString& key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const int bell = bellOfKey(key.at(0));
            if (bell < 0) {
                return std::nullopt;
            }
            ensemble.setSelected(bell, true);
        }
        Distributions().assign(ensemble, 0);
        return ensemble;
    }

    int bellOfKey(QChar key) const {
        for (int bell = 0; bell < bells.size(); ++bell) {
            if (bells[bell].key == key) {
                return bell;
            }
        }
        return -1;
    }

    QSet<QChar> groupKeys(const Ensemble& ensemble, const QString& groups) const {
        QSet<QChar> keys;
        for (const QString& group : groups.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            for (int bell = 0; bell < kBellCount; ++bell) {
                if (ensemble.isSelected(bell) && ensemble.group(bell) == groupCodeOf(group)) {
                    keys.insert(bells[bell].key);
                }
            }
        }
        return keys;
    }

    // Whether a token belongs to the part: its group's word among the
    // part's words ("middle big"), or any group when the part is empty.
    static bool inPart(const QString& token, const QString& part) {
        if (part.isEmpty()) {
            return true;
        }
        for (const QString& group : part.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (token.at(0) == group.at(0)) {
                return true;
            }
        }
        return false;
    }

    // The keys of the bells a ringing strikes in this ensemble, in some
    // groups or (part empty) in all.
    QSet<QChar> struckKeys(const RingingSource& ringing, const Ensemble& ensemble,
                           const QString& part) const {
        QSet<QChar> keys;
        for (const QStringList& column : ringing.columns) {
            for (const QString& token : column) {
                if (token.size() < 2 || !inPart(token, part)) {
                    continue;
                }
                keys.insert(bells[BellForToken(ensemble, token.at(0), token.mid(1, 1).toInt())].key);
            }
        }
        return keys;
    }

    // The keys struck in each column of the ringing (in one group or all).
    QList<QMap<QChar, bool>> columnKeys(const RingingSource& ringing, const Ensemble& ensemble,
                                        const QString& part) const {
        QList<QMap<QChar, bool>> columns;
        for (const QStringList& column : ringing.columns) {
            QMap<QChar, bool> keys;
            for (const QString& token : column) {
                if (token.size() >= 2 && inPart(token, part)) {
                    keys.insert(bells[BellForToken(ensemble, token.at(0), token.mid(1, 1).toInt())].key, true);
                }
            }
            columns << keys;
        }
        return columns;
    }

    // Whether the program offers the ringing for this ensemble.
    static bool offered(const LibraryRinging& ringing, const Ensemble& ensemble) {
        const QString require = ringing.source.require;
        if (ringing.folder == QLatin1String("common")) {
            return require.size() == 3 && ensemble.groupCount(kSmallGroup) >= require.mid(0, 1).toInt() &&
                   ensemble.groupCount(kMiddleGroup) >= require.mid(1, 1).toInt() &&
                   ensemble.groupCount(kBigGroup) >= require.mid(2, 1).toInt();
        }
        return ensemble.groupCount(groupCodeOf(ringing.folder)) >= require.toInt();
    }

    QList<Bell> bells;
    QMap<QString, LibraryRinging> ringings;
    std::map<QString, QString> pages;
};

// Every key named for a bell is that bell's key, and the catalogue rows of the
// pages are the catalogue's, with the group the page's selection gives.
TEST_F(LessonContent, KeysAndCatalogueRowsAreTheCatalogues) {
    int checked = 0;
    for (const auto& [name, html] : pages) {
        const QList<Element> setups = elementsWith(html, QStringLiteral("data-setup"));
        ASSERT_FALSE(setups.isEmpty()) << qPrintable(name);
        const std::optional<Ensemble> ensemble =
            setUp(attribute(setups.first().openTag, QStringLiteral("data-setup")));
        ASSERT_TRUE(ensemble) << qPrintable(name);
        for (const Element& kbd : elements(html, QStringLiteral("kbd"))) {
            const QString text = innerText(kbd.inner);
            ASSERT_EQ(text.size(), 1) << qPrintable(name) << ": " << qPrintable(kbd.inner);
            EXPECT_GE(bellOfKey(text.at(0)), 0)
                << qPrintable(name) << ": no bell has the key " << qPrintable(text);
            const QString number = attribute(kbd.openTag, QStringLiteral("data-bell"));
            if (!number.isEmpty()) {
                EXPECT_EQ(text.at(0).unicode(), bells[kBellCount - number.toInt()].key.unicode())
                    << qPrintable(name) << ": bell " << qPrintable(number);
                ++checked;
            }
        }
        for (const Element& row : elementsWith(html, QStringLiteral("data-bell"))) {
            if (!row.openTag.startsWith(QLatin1String("<tr"))) {
                continue;
            }
            const int number = attribute(row.openTag, QStringLiteral("data-bell")).toInt();
            const Bell& bell = bells[kBellCount - number];
            QStringList cells;
            for (const Element& cell : elements(row.inner, QStringLiteral("td"))) {
                cells << innerText(cell.inner);
            }
            ASSERT_GE(cells.size(), 4) << qPrintable(name);
            EXPECT_EQ(cells[0], QString(bell.key)) << qPrintable(name) << ": bell " << number;
            EXPECT_EQ(cells[1].toInt(), number) << qPrintable(name);
            EXPECT_EQ(cells[2], bell.name) << qPrintable(name) << ": bell " << number;
            EXPECT_EQ(QString(cells[3]).remove(QLatin1Char(' ')),
                      QString(bell.weight).remove(QLatin1Char(' ')))
                << qPrintable(name) << ": bell " << number;
            if (cells.size() > 4) {
                static const QStringList groupWords{QStringLiteral("—"), QStringLiteral("малые"),
                                                    QStringLiteral("средние"), QStringLiteral("большие")};
                EXPECT_EQ(cells[4].toStdString(),
                          groupWords.at(ensemble->group(kBellCount - number)).toStdString())
                    << qPrintable(name) << ": bell " << number;
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 15 + 6);
}

// Every ringing named is in the library, needing the bells the page says.
TEST_F(LessonContent, RingingsNamedExistWithTheirBells) {
    for (const auto& [name, html] : pages) {
        for (const Element& cite : elements(html, QStringLiteral("cite"))) {
            const QString ringing = innerText(cite.inner);
            ASSERT_TRUE(ringings.contains(ringing)) << qPrintable(name) << ": " << qPrintable(ringing);
            const QString require = attribute(cite.openTag, QStringLiteral("data-require"));
            if (!require.isEmpty()) {
                EXPECT_EQ(ringings[ringing].source.require, require)
                    << qPrintable(name) << ": " << qPrintable(ringing);
            }
        }
        for (const Element& row : elementsWith(html, QStringLiteral("data-bells"))) {
            const QString group = attribute(row.openTag, QStringLiteral("data-group"));
            const QString count = attribute(row.openTag, QStringLiteral("data-bells"));
            const QList<Element> cells = elements(row.inner, QStringLiteral("td"));
            ASSERT_GE(cells.size(), 2) << qPrintable(name);
            EXPECT_EQ(innerText(cells[1].inner).toStdString(), count.toStdString())
                << qPrintable(name) << ": " << qPrintable(row.inner);
            const QList<Element> cites = elements(cells[0].inner, QStringLiteral("cite"));
            EXPECT_FALSE(cites.isEmpty()) << qPrintable(name);
            for (const Element& cite : cites) {
                const LibraryRinging ringing = ringings.value(innerText(cite.inner));
                EXPECT_EQ(ringing.folder, group) << qPrintable(name) << ": " << qPrintable(cite.inner);
                EXPECT_EQ(ringing.source.require, count)
                    << qPrintable(name) << ": " << qPrintable(cite.inner);
            }
        }
    }
}

// Every exercise's keys are what the group rule gives for the bells the page
// tells the learner to select.
TEST_F(LessonContent, ExercisesUseTheKeysTheProgramUses) {
    int exercises = 0;
    for (const auto& [name, html] : pages) {
        const QList<Element> setups = elementsWith(html, QStringLiteral("data-setup"));
        ASSERT_FALSE(setups.isEmpty()) << qPrintable(name) << " tells the learner nothing to select";
        const QString pageSetup = attribute(setups.first().openTag, QStringLiteral("data-setup"));
        const auto setupOf = [&](const Element& e) {
            const QString own = attribute(e.openTag, QStringLiteral("data-setup"));
            return own.isEmpty() ? pageSetup : own;
        };

        for (const Element& e : elementsWith(html, QStringLiteral("data-keys-of"))) {
            const std::optional<Ensemble> ensemble = setUp(setupOf(e));
            ASSERT_TRUE(ensemble) << qPrintable(name);
            const QString groups = attribute(e.openTag, QStringLiteral("data-keys-of"));
            EXPECT_EQ(keysText(keysIn(e.inner)), keysText(groupKeys(*ensemble, groups)))
                << qPrintable(name) << ": " << qPrintable(groups) << " in " << qPrintable(innerText(e.inner));
        }
        for (const Element& e : elementsWith(html, QStringLiteral("data-exercise"))) {
            ++exercises;
            const std::optional<Ensemble> ensemble = setUp(setupOf(e));
            ASSERT_TRUE(ensemble) << qPrintable(name);
            const QSet<QChar> allowed =
                groupKeys(*ensemble, attribute(e.openTag, QStringLiteral("data-exercise")));
            const QSet<QChar> used = keysIn(e.inner);
            EXPECT_FALSE(used.isEmpty()) << qPrintable(name) << ": " << qPrintable(innerText(e.inner));
            EXPECT_TRUE(allowed.contains(used))
                << qPrintable(name) << ": " << keysText(used) << " not all in " << keysText(allowed) << ": "
                << qPrintable(innerText(e.inner));
        }
        for (const Element& e : elementsWith(html, QStringLiteral("data-ringing"))) {
            ++exercises;
            const std::optional<Ensemble> ensemble = setUp(setupOf(e));
            ASSERT_TRUE(ensemble) << qPrintable(name);
            const QString ringingName = attribute(e.openTag, QStringLiteral("data-ringing"));
            ASSERT_TRUE(ringings.contains(ringingName))
                << qPrintable(name) << ": " << qPrintable(ringingName);
            const LibraryRinging& ringing = ringings[ringingName];
            EXPECT_TRUE(offered(ringing, *ensemble)) << qPrintable(name) << ": " << qPrintable(ringingName)
                                                     << " is not offered for that selection";
            QString part = attribute(e.openTag, QStringLiteral("data-part"));
            if (part.isEmpty() && ringing.folder != QLatin1String("common")) {
                part = ringing.folder;
            }
            EXPECT_EQ(keysText(keysIn(e.inner)), keysText(struckKeys(ringing.source, *ensemble, part)))
                << qPrintable(name) << ": " << qPrintable(ringingName);
        }
    }
    EXPECT_GE(exercises, 15);
}

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
