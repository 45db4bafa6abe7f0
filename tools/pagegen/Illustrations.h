#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

// The pictures of the lesson and help pages, drawn while the program is
// built: the bells of each group with their keys, and the keyboard with the
// keys of one group (or all three) marked.
namespace illustrations {

// Bell groups as the lessons use them. The lessons have the learner select
// the course's bells (kCourseKeys); the groups are what the program's group
// rule makes of that selection, so the pictures show the keys the program
// really rings. All stands for every bell of the catalogue.
enum class Group { Small, Middle, Big, All };

// The keys of the bells the course has the learner select.
inline constexpr const char* kCourseKeys = "ZXASDFGJKL";

// The bells of a group in the course's selection (All: the whole
// catalogue), the biggest first.
QVector<int> bellsOf(Group group);
// The Latin letter of the key that strikes catalogue bell 0..14.
QChar keyOf(int bell);

// The group's bells side by side, each with its key cap and its number as
// the program shows it ("Колокол " + (15 - bell)).
QImage groupBells(Group group);
// The three letter rows of the keyboard; the keys of the group carry its
// colour and the number of their bell, the others are grey. For All every
// bell's key is marked, in its group's colour, or grey when the course
// leaves the bell out.
QImage keyboard(Group group);

// One page (64 columns, page 0 the first) of a ringing in notation, as the
// score view draws it: for each group in `groups` (0 small, 1 middle, 2 big) its staff,
// one under the other with the group's name above it. `columns` holds the
// strike tokens of each column; `counts` the bells of each group.
QImage scoreExcerpt(const QList<QStringList>& columns, int page, const QVector<int>& groups,
                    const std::array<int, 3>& counts);

// Every picture with its file name (PNG), for the generator and its tests.
// The notation excerpts are drawn from ringings of the library in
// `ringingsDir` (data/ringings); a ringing that cannot be read leaves its
// picture out, and `error` says which.
struct Named {
    QString fileName;
    QImage image;
};
QVector<Named> all(const QString& ringingsDir, QStringList* errors);

// The file names all() writes, in its order.
QStringList fileNames();

} // namespace illustrations
