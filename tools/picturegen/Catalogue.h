#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The bell catalogue as the program reads it: fifteen lines, one per bell,
// the largest first, each of eight ";"-separated fields. Its source is kept
// as readable UTF-8 text with comments; the installation gets it as
// Windows-1251 text with CR LF line ends.
namespace catalogue {

constexpr int kBellCount = 15;
constexpr int kFieldCount = 8;

// Zero-based field positions.
enum Field { Name = 0, Sample, Picture, PictureOff, Weight, Tone, KeyCode, Description };

// Keys with other work in the program: Space, the four arrows, the digits 1
// to 3 on the main rows and on the numeric pad. No bell may use them.
bool isReservedKeyCode(int code);

// The file names the rest of the installation expects for bell i (0..14).
QString sampleFileName(int bell);
QString pictureFileName(int bell);
QString pictureOffFileName(int bell);

// Takes the catalogue lines out of the source text: drops comment lines
// ("#" first) and blank lines. Nothing is validated here.
QStringList sourceLines(const QString& sourceText);

// Checks catalogue lines against every rule the program and the other data
// rely on. Returns one message per broken rule; empty when the lines are sound.
QStringList validate(const QStringList& lines);

// The key code of a line (field 7), when it is a whole number.
std::optional<int> keyCode(const QString& line);

// Reads the UTF-8 source, validates it and writes the catalogue file.
// On failure returns the reasons and leaves any existing target untouched.
QStringList convertSource(const QString& sourcePath, const QString& targetPath, QStringList* lines);

} // namespace catalogue
