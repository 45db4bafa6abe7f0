// The rules of the welcome on the empty staves: when it stands, and which
// ringing its first button plays.

#include "score/ScoreWelcome.h"

#include <gtest/gtest.h>

using namespace scorewelcome;

TEST(ScoreWelcome, StandsOnlyWhileNothingCanBePlayed) {
    const struct {
        State state;
        bool shown;
    } cases[] = {
        //! the first start: two bells, nothing loaded
        {{2, false, true}, true},
        //! no bell at all (after "Сбросить все")
        {{0, false, true}, true},
        //! one short of the minimum still shows it
        {{4, false, true}, true},
        //! five bells make groups: it goes
        {{5, false, true}, false},
        {{15, false, true}, false},
        //! a ringing loaded with fewer bells (a user file, a "000" ringing) hides it
        {{2, true, true}, false},
        //! the score switched off shows "Партитура отключена" instead
        {{2, false, false}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(c.state), c.shown) << c.state.selectedBells << " bells, loaded "
                                           << c.state.ringingLoaded << ", score " << c.state.scoreShown;
    }
}

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
