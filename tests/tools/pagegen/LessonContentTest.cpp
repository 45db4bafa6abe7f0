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

#include "Catalogue.h"
#include "Illustrations.h"
#include "RingingSource.h"
#include "bells/Distributions.h"
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
        ASSERT_EQ(pages.size(), 4u);
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

    // The keys of the bells a ringing strikes in this ensemble, in one
    // group or (part empty) in all.
    QSet<QChar> struckKeys(const RingingSource& ringing, const Ensemble& ensemble,
                           const QString& part) const {
        QSet<QChar> keys;
        for (const QStringList& column : ringing.columns) {
            for (const QString& token : column) {
                if (token.size() < 2 || (!part.isEmpty() && token.at(0) != part.at(0))) {
                    continue;
                }
                keys.insert(bells[BellForToken(ensemble, token.at(0), token.mid(1, 1).toInt())].key);
            }
        }
        return keys;
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

} // namespace
