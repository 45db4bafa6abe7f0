#pragma once

#include <QImage>
#include <QString>
#include <QVector>

// The pictures of the lesson and help pages, drawn while the program is
// built: the bells of each group with their keys, and the keyboard with the
// keys of one group (or all three) marked.
namespace illustrations {

// Bell groups as the lessons speak of them: the catalogue's bells 10..14 are
// the small ones, 5..9 the middle and 0..4 the big ones.
enum class Group { Small, Middle, Big, All };

// The catalogue's bells of a group, the biggest first.
QVector<int> bellsOf(Group group);
// The Latin letter of the key that strikes catalogue bell 0..14.
QChar keyOf(int bell);

// The group's bells side by side, each with its key cap and its number as
// the program shows it ("Колокол " + (15 - bell)).
QImage groupBells(Group group);
// The three letter rows of the keyboard; the keys of the group carry its
// colour and the number of their bell, the others are grey.
QImage keyboard(Group group);

// Every picture with its file name (PNG), for the generator and its tests.
struct Named {
    QString fileName;
    QImage image;
};
QVector<Named> all();

} // namespace illustrations
