// Checks of the library the build installed, read back as the program reads
// it: what every list names exists and loads, every ringing stays within what
// it asks of the ensemble, and each ringing has the shape its name promises.

#include "LibraryFiles.h"

#include "base/TextCodec.h"
#include "base/TextLists.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Installed {
    QString list; // small, middle, big, common or custom
    QString name;
    QString path;
    std::array<int, 3> allowed{}; // positions each group may name
    std::optional<LoadedBody> body;
    QStringList preamble; // list ringings: Bells, Types, name, description
};

constexpr const char* kGroupLists[] = {"small", "middle", "big"};

int letterIndex(QChar c) {
    return c == u's' ? 0 : c == u'm' ? 1 : c == u'b' ? 2 : -1;
}

const QList<Installed>& installed() {
    static const QList<Installed> all = [] {
        QList<Installed> result;
        const QString campanel = installedDir() + "/Campanel/";
        for (const char* list : {"small", "middle", "big", "common"}) {
            const auto lines = readCatalogue(campanel + list + ".kli");
            EXPECT_TRUE(lines.has_value())
                << list << ".kli is missing or has a line of fewer than three fields";
            for (const CatalogueLine& line : lines.value_or(QList<CatalogueLine>{})) {
                const int g = letterIndex(QChar(list[0]));
                const int index = QString(list) == "common" ? 3 : g;
                Installed r{list, line.name, campanel + line.file, {}, loadBody(campanel + line.file, index),
                            {}};
                if (QString(list) == "common") {
                    for (int i = 0; i < 3 && i < line.require.size(); ++i) {
                        r.allowed[i] = line.require.at(i).isDigit() ? line.require.at(i).digitValue() : -1;
                    }
                    EXPECT_EQ(line.require.size(), 3) << line.name.toStdString();
                } else {
                    bool ok = false;
                    r.allowed[g] = line.require.toInt(&ok);
                    EXPECT_TRUE(ok && line.require.size() == 1) << line.name.toStdString();
                }
                result.append(r);
            }
        }
        const QString custom = installedDir() + "/Custom/";
        const auto names = readTextLines(custom + "list.kli");
        EXPECT_TRUE(names.has_value()) << "Custom/list.kli is missing";
        for (const QString& name : names.value_or(QStringList{})) {
            const QString path = custom + name + ".kol";
            Installed r{"custom", name, path, {}, loadBody(path, 3, 4), {}};
            r.preamble = r.body ? r.body->preamble : QStringList{};
            if (r.preamble.size() == 4) {
                for (QChar c : r.preamble.at(1)) {
                    if (letterIndex(c) >= 0) {
                        ++r.allowed[letterIndex(c)];
                    }
                }
            }
            result.append(r);
        }
        return result;
    }();
    return all;
}

QList<Installed> ofList(const char* list) {
    QList<Installed> result;
    for (const Installed& r : installed()) {
        if (r.list == list) {
            result.append(r);
        }
    }
    return result;
}

QString label(const Installed& r) {
    return r.list + ": " + r.name;
}

// Bigger bells first: big by position, then middle and small from their
// biggest position down.
int sizeRank(const QString& token) {
    const int position = token.mid(1).toInt();
    switch (letterIndex(token.at(0))) {
    case 2:
        return position;
    case 1:
        return 20 - position;
    default:
        return 40 - position;
    }
}

QSet<QString> tokensUsed(const LoadedBody& body) {
    QSet<QString> used;
    for (const QStringList& column : body.columns) {
        for (const QString& t : column) {
            used.insert(t);
        }
    }
    return used;
}

QList<int> struckColumns(const LoadedBody& body) {
    QList<int> struck;
    for (int c = 0; c < body.columns.size(); ++c) {
        if (!body.columns.at(c).isEmpty()) {
            struck.append(c);
        }
    }
    return struck;
}

// Parts are separated by silences of at least a bar.
int partCount(const LoadedBody& body) {
    const QList<int> struck = struckColumns(body);
    int parts = struck.isEmpty() ? 0 : 1;
    for (int i = 1; i < struck.size(); ++i) {
        parts += struck.at(i) - struck.at(i - 1) > 16 ? 1 : 0;
    }
    return parts;
}

bool isCommonOrList(const Installed& r) {
    return r.list == "common" || r.list == "custom";
}

} // namespace

// Every ringing a list names exists and loads with an integer interval the
// tempo control can take.
TEST(InstalledLibrary, EveryNamedRingingLoads) {
    ASSERT_FALSE(installed().isEmpty());
    std::array<int, 2> encoded{};
    std::array<int, 2> plain{};
    for (const Installed& r : installed()) {
        ASSERT_TRUE(r.body.has_value()) << label(r).toStdString() << ": " << r.path.toStdString();
        ASSERT_TRUE(r.body->interval.has_value()) << label(r).toStdString();
        EXPECT_GE(*r.body->interval, 50) << label(r).toStdString();
        EXPECT_LE(*r.body->interval, 1000) << label(r).toStdString();
        EXPECT_FALSE(r.body->columns.isEmpty()) << label(r).toStdString();
        // What the program's loader holds is what the file says.
        const qsizetype kept =
            isCommonOrList(r) ? r.body->columns.size() : std::min<qsizetype>(128, r.body->columns.size());
        ASSERT_EQ(r.body->loadedScore.size(), kept) << label(r).toStdString();
        for (qsizetype c = 0; c < kept; ++c) {
            EXPECT_EQ(SplitList(r.body->loadedScore.at(c), ","), r.body->columns.at(c))
                << label(r).toStdString();
        }
        for (int g = 0; g < 3; ++g) {
            const QString mark = QString(QStringLiteral("smb").at(g)) + u'-';
            EXPECT_EQ(r.body->animated[g], !r.body->marks.contains(mark)) << label(r).toStdString();
        }
        (r.body->encoded ? encoded : plain)[r.list == "custom" ? 1 : 0] += 1;
    }
    // Both stored forms are in use, in the catalogue and among the list ringings.
    for (int where = 0; where < 2; ++where) {
        EXPECT_GE(encoded[where], 2) << where;
        EXPECT_GE(plain[where], 2) << where;
    }
    EXPECT_GE(ofList("common").size(), 16);
    for (const char* list : kGroupLists) {
        EXPECT_GE(ofList(list).size(), 8) << list;
    }
    EXPECT_GE(ofList("custom").size(), 8);
}

// A ringing offered to an ensemble never names a position the ensemble
// lacks: every token is a group letter and a digit within its requirement.
TEST(InstalledLibrary, TokensStayWithinTheRequirement) {
    static const QRegularExpression token(QStringLiteral("^[smb][1-9]$"));
    for (const Installed& r : installed()) {
        ASSERT_TRUE(r.body.has_value());
        for (int c = 0; c < r.body->columns.size(); ++c) {
            for (const QString& t : r.body->columns.at(c)) {
                ASSERT_TRUE(token.match(t).hasMatch())
                    << label(r).toStdString() << " column " << c << ": " << t.toStdString();
                EXPECT_LE(t.mid(1).toInt(), r.allowed[letterIndex(t.at(0))])
                    << label(r).toStdString() << " column " << c << ": " << t.toStdString();
            }
        }
    }
}

// Group ringings sound only in their own group, fill the 128 columns the
// group loop plays (so any three combine without a gap), keep their
// requirement within the group's size, and loop without a longer silence at
// the seam than inside.
TEST(InstalledLibrary, GroupRingingsLoopInTheirOwnGroup) {
    const int lowest[] = {1, 2, 1};
    const int highest[] = {3, 7, 5};
    for (int g = 0; g < 3; ++g) {
        for (const Installed& r : ofList(kGroupLists[g])) {
            const std::string what = label(r).toStdString();
            ASSERT_TRUE(r.body.has_value()) << what;
            EXPECT_EQ(r.body->columns.size(), 128) << what;
            EXPECT_GE(r.allowed[g], lowest[g]) << what;
            EXPECT_LE(r.allowed[g], highest[g]) << what;
            const QList<int> struck = struckColumns(*r.body);
            ASSERT_FALSE(struck.isEmpty()) << what;
            int longestInside = 0;
            for (int i = 1; i < struck.size(); ++i) {
                longestInside = std::max(longestInside, struck.at(i) - struck.at(i - 1));
            }
            const int seam = struck.first() + 128 - struck.last();
            EXPECT_LE(seam, std::max(longestInside, 16)) << what;
            for (const QStringList& column : r.body->columns) {
                for (const QString& t : column) {
                    EXPECT_EQ(letterIndex(t.at(0)), g) << what << ": " << t.toStdString();
                }
            }
        }
    }
}

// Big bells keep the slow pulse: a heavy bell is never struck again within
// a second in the big-bell loops.
TEST(InstalledLibrary, BigBellLoopsKeepASlowPulse) {
    for (const Installed& r : ofList("big")) {
        QHash<QString, int> last;
        for (int c = 0; c < r.body->columns.size(); ++c) {
            for (const QString& t : r.body->columns.at(c)) {
                if (last.contains(t)) {
                    EXPECT_GE((c - last.value(t)) * 144, 1000)
                        << label(r).toStdString() << ": " << t.toStdString();
                }
                last.insert(t, c);
            }
        }
    }
}

// List ringings carry an ensemble the group limits allow, at least five
// bells, a Bells line that matches the Types line, a name and a description.
TEST(InstalledLibrary, ListRingingEnsemblesRespectTheGroupLimits) {
    for (const Installed& r : ofList("custom")) {
        const std::string what = label(r).toStdString();
        ASSERT_EQ(r.preamble.size(), 4) << what;
        const QString& bells = r.preamble.at(0);
        const QString& types = r.preamble.at(1);
        ASSERT_EQ(bells.size(), 15) << what;
        ASSERT_EQ(types.size(), 15) << what;
        int selected = 0;
        for (int i = 0; i < 15; ++i) {
            EXPECT_EQ(bells.at(i) == u'1', types.at(i) != u'n') << what << " bell " << i;
            selected += bells.at(i) == u'1' ? 1 : 0;
            if (types.at(i) == u's') {
                EXPECT_GE(i, 11) << what << ": bell " << i << " in the small group";
            }
        }
        EXPECT_GE(selected, 5) << what;
        EXPECT_LE(r.allowed[0], 3) << what;
        EXPECT_LE(r.allowed[1], 7) << what;
        EXPECT_LE(r.allowed[2], 5) << what;
        EXPECT_EQ(r.preamble.at(2), r.name) << what;
        EXPECT_FALSE(r.preamble.at(3).trimmed().isEmpty()) << what;
    }
}

// Every ensemble the recommended distributions can produce is offered at
// least three common ringings.
TEST(InstalledLibrary, EveryRecommendedDistributionIsOfferedThreeRingings) {
    const QList<std::array<int, 3>> distributions = recommendedGroupCounts();
    ASSERT_GE(distributions.size(), 11);
    const QList<Installed> common = ofList("common");
    for (const auto& counts : distributions) {
        int offered = 0;
        for (const Installed& r : common) {
            offered +=
                counts[0] >= r.allowed[0] && counts[1] >= r.allowed[1] && counts[2] >= r.allowed[2] ? 1 : 0;
        }
        EXPECT_GE(offered, 3) << "small " << counts[0] << ", middle " << counts[1] << ", big " << counts[2];
    }
}

// Common and list ringings last from 30 s to 3 min at their own interval.
TEST(InstalledLibrary, RingingsLastHalfAMinuteToThreeMinutes) {
    for (const Installed& r : installed()) {
        if (!isCommonOrList(r)) {
            continue;
        }
        const qint64 ms = qint64(r.body->columns.size()) * r.body->interval.value_or(0);
        EXPECT_GE(ms, 30000) << label(r).toStdString();
        EXPECT_LE(ms, 180000) << label(r).toStdString();
    }
}

// A group marked as played in chords never strikes one of its bells alone,
// and the library has such ringings in its common list.
TEST(InstalledLibrary, ChordMarkedGroupsPlayOnlyChords) {
    int marked = 0;
    for (const Installed& r : installed()) {
        for (const QString& mark : r.body->marks) {
            ASSERT_TRUE(mark.size() == 2 && mark.at(1) == u'-' && letterIndex(mark.at(0)) >= 0)
                << label(r).toStdString() << ": " << mark.toStdString();
            marked += r.list == "common" ? 1 : 0;
            for (const QStringList& column : r.body->columns) {
                const auto alone = std::count_if(column.cbegin(), column.cend(),
                                                 [&](const QString& t) { return t.at(0) == mark.at(0); });
                EXPECT_NE(alone, 1) << label(r).toStdString() << ": " << column.join(u',').toStdString();
            }
        }
    }
    EXPECT_GE(marked, 2);
}

// Each ringing has the shape of the form its name gives.
TEST(InstalledLibrary, RingingsSoundAsTheirNamesSay) {
    for (const Installed& r : installed()) {
        if (!isCommonOrList(r)) {
            continue;
        }
        const std::string what = label(r).toStdString();
        const LoadedBody& body = *r.body;
        const int interval = body.interval.value_or(0);
        const QString name = r.name.toLower();
        const QList<int> struck = struckColumns(body);
        const QSet<QString> used = tokensUsed(body);
        ASSERT_GE(struck.size(), 4) << what;
        const QSet<QString> last(body.columns.at(struck.last()).cbegin(),
                                 body.columns.at(struck.last()).cend());

        // Blagovest opens with three slow strokes of one big bell; a plain
        // blagovest stays on that bell, at least two seconds apart.
        if (name.startsWith("благовест")) {
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(body.columns.at(struck.at(i)).size(), 1) << what;
                EXPECT_EQ(body.columns.at(struck.at(i)), body.columns.at(struck.first())) << what;
                EXPECT_TRUE(body.columns.at(struck.at(i)).first().startsWith(u'b')) << what;
                if (i > 0) {
                    EXPECT_GE((struck.at(i) - struck.at(i - 1)) * interval, 2000) << what;
                }
            }
            if (!name.contains("трезвон")) {
                EXPECT_EQ(used.size(), 1) << what;
                for (int i = 1; i < struck.size(); ++i) {
                    EXPECT_GE((struck.at(i) - struck.at(i - 1)) * interval, 2000) << what;
                }
            }
        }
        // Trezvon: brisk; opens with three strokes of the biggest bell and
        // ends with a full chord of every bell it uses; "before vespers",
        // "before matins" and "before the liturgy" have one, two and three
        // parts.
        if (name.contains("трезвон")) {
            EXPECT_LE(interval, 150) << what;
            int opening = 0;
            for (int i = 0; i < struck.size() && body.columns.at(struck.at(i)) == QStringList{"b1"}; ++i) {
                ++opening;
            }
            EXPECT_GE(opening, 3) << what;
            EXPECT_EQ(last, used) << what;
        }
        const struct {
            const char* words;
            int parts;
        } parts[] = {{"к вечерне", 1}, {"к утрене", 2}, {"к литургии", 3}, {"двузвон", 2}};
        for (const auto& p : parts) {
            if (name.contains(QString::fromUtf8(p.words))) {
                EXPECT_EQ(partCount(body), p.parts) << what;
            }
        }
        // Perezvon walks from the biggest bell to the smallest, perebor from
        // the smallest to the biggest, each through every bell it uses, and
        // then strikes them all together.
        const bool perezvon = name.contains("перезвон");
        if (perezvon || name.contains("перебор")) {
            QSet<QString> walked;
            int i = 0;
            for (; i < struck.size() && body.columns.at(struck.at(i)).size() == 1; ++i) {
                const QString t = body.columns.at(struck.at(i)).first();
                if (i > 0) {
                    const int before = sizeRank(body.columns.at(struck.at(i - 1)).first());
                    EXPECT_TRUE(perezvon ? sizeRank(t) >= before : sizeRank(t) <= before)
                        << what << " at " << t.toStdString();
                }
                walked.insert(t);
            }
            EXPECT_EQ(walked, used) << what;
            ASSERT_LT(i, struck.size()) << what;
            const QStringList& chord = body.columns.at(struck.at(i));
            EXPECT_EQ(QSet<QString>(chord.cbegin(), chord.cend()), used) << what;
            if (!perezvon) {
                EXPECT_EQ(last, used) << what << ": a perebor ends with a trezvon's full chord";
            }
        }
        // Wedding ringing: the bells join one at a time, from the biggest.
        if (name.contains("свадеб")) {
            QList<QString> order;
            for (int c : struck) {
                QStringList fresh;
                for (const QString& t : body.columns.at(c)) {
                    if (!order.contains(t)) {
                        fresh.append(t);
                    }
                }
                EXPECT_LE(fresh.size(), 1) << what;
                order.append(fresh);
            }
            for (int i = 1; i < order.size(); ++i) {
                EXPECT_GT(sizeRank(order.at(i)), sizeRank(order.at(i - 1))) << what;
            }
        }
    }
}

// Every written file is Windows-1251 text with CR LF after every line.
TEST(InstalledLibrary, FilesAreWindows1251WithCrLf) {
    QStringList files;
    for (const char* folder : {"/Campanel", "/Custom"}) {
        const QDir dir(installedDir() + folder);
        for (const QString& f : dir.entryList({"*.kli", "*.kol"}, QDir::Files)) {
            files.append(dir.filePath(f));
        }
    }
    ASSERT_GE(files.size(), 4 + 5 + 16 + 24 + 8);
    int cyrillic = 0;
    for (const QString& path : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.endsWith("\r\n")) << path.toStdString();
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << path.toStdString();
        EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n")) << path.toStdString();
        const QString text = decode1251(bytes);
        if (text.contains(QRegularExpression(QStringLiteral("[а-яА-ЯёЁ]")))) {
            ++cyrillic;
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString asUtf8 = utf8.decode(bytes);
            EXPECT_TRUE(utf8.hasError()) << path.toStdString() << " holds UTF-8, not Windows-1251";
            EXPECT_EQ(encode1251(text), bytes) << path.toStdString();
        }
    }
    EXPECT_GE(cyrillic, 5 + 8);
}
