// File names that are not UTF-8 (a Windows-1251 name, say) keep their bytes
// through every conversion.

#include "desktop/LocalFileName.h"

#include <gtest/gtest.h>

namespace {

// Every name comes back as the bytes it was made of; a valid UTF-8 name is
// decoded as Qt decodes it, and only bytes outside UTF-8 show as U+FFFD.
TEST(LocalFileName, BytesSurviveTheRoundTrip) {
    struct Case {
        QByteArray bytes;
        bool foreign;
    };
    const Case cases[] = {
        {"/home/u/plain.ukl", false},
        {"/home/u/\xd0\x9c\xd0\xbe\xd0\xb9 \xd0\xb7\xd0\xb2\xd0\xbe\xd0\xbd.ukl",
         false},                                             // "Мой звон" in UTF-8
        {"/home/u/\xf0\x9f\x94\x94.ukl", false},             // a character beyond the BMP
        {"/home/u/\xcc\xee\xe9 \xe7\xe2\xee\xed.ukl", true}, // "Мой звон" in Windows-1251
        {"/x/\xf0\x9f\x94\x94\xff", true},                   // an escape right after a surrogate pair
        {"/x/\xc0\x80", true},                               // an overlong NUL
        {"/x/\xed\xb2\x80", true},                           // an encoded surrogate (U+DC80 itself)
        {"/x/\xf4\x90\x80\x80", true},                       // beyond U+10FFFF
        {"/x/\xe2\x82", true},                               // cut short at the end
        {"/x/\xe2\x82\xac", false},                          // the same, whole ("€")
    };
    for (const Case& c : cases) {
        const QString name = fileNameFromLocalBytes(c.bytes);
        EXPECT_EQ(localBytesOfFileName(name), c.bytes) << c.bytes.toHex().toStdString();
        EXPECT_EQ(hasForeignBytes(name), c.foreign) << c.bytes.toHex().toStdString();
        const QString shown = displayedFileName(name);
        if (c.foreign) {
            EXPECT_TRUE(shown.contains(QChar::ReplacementCharacter)) << c.bytes.toHex().toStdString();
            EXPECT_FALSE(hasForeignBytes(shown));
        } else {
            EXPECT_EQ(name, QString::fromUtf8(c.bytes));
            EXPECT_EQ(shown, name);
        }
    }
}

} // namespace
