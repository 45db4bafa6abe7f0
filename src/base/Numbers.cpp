#include "base/Numbers.h"

#include <limits>

namespace numbers {

namespace {

constexpr long long kLargest = std::numeric_limits<int>::max();

struct Scan {
    bool negative = false;
    qsizetype digits = 0;
    long long magnitude = 0; // saturates just above kLargest
    qsizetype end = 0;       // index after the last character taken
};

bool isBlank(QChar c) {
    return c.isSpace();
}

// Reads [sign]digits from `from`; the magnitude stops growing past the range
// of int, so any number of digits is safe.
Scan scan(QStringView text, qsizetype from, bool allowSign) {
    Scan s;
    qsizetype i = from;
    if (allowSign && i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        s.negative = text[i] == u'-';
        ++i;
    }
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (s.magnitude <= kLargest + 1) {
            s.magnitude = s.magnitude * 10 + (text[i].unicode() - u'0');
        }
        ++s.digits;
    }
    s.end = i;
    return s;
}

qsizetype skipBlanks(QStringView text, qsizetype i) {
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return i;
}

std::optional<int> inRange(const Scan& s) {
    const long long value = s.negative ? -s.magnitude : s.magnitude;
    if (value > kLargest || value < std::numeric_limits<int>::min()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

} // namespace

std::optional<int> parseWholeNumber(QStringView text) {
    const Scan s = scan(text, skipBlanks(text, 0), true);
    if (s.digits == 0 || skipBlanks(text, s.end) != text.size()) {
        return std::nullopt;
    }
    return inRange(s);
}

std::optional<int> parseDigits(QStringView text) {
    const Scan s = scan(text, 0, false);
    if (s.digits == 0 || s.digits > 6 || s.end != text.size()) {
        return std::nullopt;
    }
    return inRange(s);
}

int parseLeadingNumber(QStringView text) {
    const Scan s = scan(text, skipBlanks(text, 0), true);
    const long long magnitude = s.magnitude > kLargest ? kLargest : s.magnitude;
    return static_cast<int>(s.negative ? -magnitude : magnitude);
}

} // namespace numbers
