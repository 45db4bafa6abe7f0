// Which ringing the welcome's first button plays (when the welcome stands is
// tested through the window, tests/app/FirstMinuteTest.cpp).

#include "score/ScoreWelcome.h"

#include <gtest/gtest.h>

using namespace scorewelcome;

TEST(ScoreWelcome, PlaysTheFirstTrezvonOfTheList) {
    const QString none = QStringLiteral("Выбор звона");
    const struct {
        QStringList items;
        int index;
    } cases[] = {
        //! the first trezvon, not the first ringing, nor a later trezvon
        {{none, QStringLiteral("Благовест"), QStringLiteral("Трезвон к вечерне"),
          QStringLiteral("Трезвон великий")},
         2},
        //! the name's case and leading blanks do not hide it
        {{none, QStringLiteral("Перезвон"), QStringLiteral("  ТРЕЗВОН праздничный")}, 2},
        //! item 0 ("Выбор звона") is never chosen, whatever its text
        {{QStringLiteral("Трезвон"), QStringLiteral("Благовест")}, 1},
        //! a word that only contains it is not a trezvon
        {{none, QStringLiteral("Перезвон"), QStringLiteral("Малый трезвон")}, 1},
        //! no ringing offered: nothing to play
        {{none}, -1},
        {{}, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ringingToPlay(c.items), c.index) << c.items.join(u'|').toStdString();
    }
}
