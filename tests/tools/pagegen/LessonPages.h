#pragma once

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

namespace lessonpages {


inline const QString kSource = QStringLiteral(CAMPANIX_SOURCE_DIR);

inline QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct Bell {
    QChar key;
    QString name;
    QString weight;
};

// The catalogue as the build writes it, bell index 0 (the biggest) first.
inline QList<Bell> catalogueBells() {
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

inline QMap<QString, LibraryRinging> library() {
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

inline int groupCodeOf(const QString& word) {
    if (word == QLatin1String("small")) {
        return kSmallGroup;
    }
    if (word == QLatin1String("middle")) {
        return kMiddleGroup;
    }
    return word == QLatin1String("big") ? kBigGroup : kNoGroup;
}

inline QString innerText(QString html) {
    return html.remove(QRegularExpression(QStringLiteral("<[^>]*>"))).simplified();
}

inline QString attribute(const QString& tag, const QString& name) {
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
inline QList<Element> elementsWith(const QString& html, const QString& attributeName) {
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

inline QList<Element> elements(const QString& html, const QString& tagName) {
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

inline QSet<QChar> keysIn(const QString& html) {
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
inline std::string keysText(const QSet<QChar>& keys) {
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

} // namespace lessonpages
