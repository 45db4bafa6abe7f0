#pragma once

#include <QString>
#include <QStringList>

// The welcome that stands in place of the empty staves while nothing can be
// played yet: too few bells for any group and no ringing loaded. It only
// says what to do and offers two ways on; it changes no state and writes no
// setting of its own.
namespace scorewelcome {

// What the staves show it by: one per staff, small to big (the big staff
// carries the two buttons instead of text).
inline const QString kAbout =
    QStringLiteral("Campanix играет русские церковные звоны на выбранных вами колоколах, "
                   "показывает их партитуру и учит звонить с клавиатуры.");
inline const QString kWhatToDo =
    QStringLiteral("Выберите не менее пяти колоколов в полосе вверху (или все сразу) и затем звон в списке");
inline const QString kPlayCaption = QStringLiteral("Выделить все и сыграть трезвон");
inline const QString kLessonCaption = QStringLiteral("Урок: работа с программой");

// The ringing the first button plays is the first of the offered list whose
// name begins with this word.
inline const QString kTrezvonPrefix = QStringLiteral("Трезвон");

struct State {
    int selectedBells = 0;
    // A ringing's columns are in the working scores.
    bool ringingLoaded = false;
    // The score is switched on ("Партитура" checked).
    bool scoreShown = true;
};

// Whether the staves show the welcome in this state.
bool shown(const State& state);

// Whether a ringing of that name is a trezvon.
bool isTrezvon(const QString& name);

// The index of the first item of a ringing list (item 0 is "Выбор звона")
// that is a trezvon; otherwise the first ringing of the list; -1 when the
// list offers none.
int ringingToPlay(const QStringList& items);

} // namespace scorewelcome
