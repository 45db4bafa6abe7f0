// The lessons against the program's own data: keys, catalogue rows, ringings
// and the keys of each exercise (the markup is described in LessonPages.h).

#include "LessonPages.h"

namespace {

using namespace lessonpages;

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
