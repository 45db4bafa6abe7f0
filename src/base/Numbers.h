#pragma once

#include <QStringView>

#include <optional>

// The one reader of decimal whole numbers in text. Every caller names the
// grammar its file or option accepts; digits are the ASCII digits 0-9 only.
namespace numbers {

// "[blanks][+|-]digits[blanks]" and nothing else, within the range of int:
// ringing headers, the key codes of the bell catalogue, command-line options.
std::optional<int> parseWholeNumber(QStringView text);

// "digits" only: no sign, no blanks, at most six digits (requirements and
// counts of the ringing catalogue).
std::optional<int> parseDigits(QStringView text);

// The settings-file reading: blanks, an optional sign, then as many digits
// as follow; whatever comes after them is ignored, no digits read as 0, and
// a value beyond the range of int stops at its largest magnitude.
int parseLeadingNumber(QStringView text);

} // namespace numbers
