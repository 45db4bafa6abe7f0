#include "base/ProfileFile.h"
#include "app/AppSettings.h"
#include "base/TextCodec.h"
#include "support/Unreadable.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QStringList lines(const QString& path) {
    return readTextLines(path).value_or(QStringList{"<unreadable>"});
}

} // namespace

// Sections and keys match without regard to case; values are trimmed.
TEST(ProfileFile, ReadsCaseInsensitively) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("campanix.ini"));
    ASSERT_TRUE(writeTextLines(path, {"[view]", "TOOLS = 0", "[Form]", "Width=900", "Left=-20", "Top=abc"}));
    ProfileFile f(path);
    EXPECT_FALSE(f.readBool("View", "Tools", true));
    EXPECT_EQ(f.readInteger("FORM", "width", 0), 900);
    EXPECT_EQ(f.readInteger("Form", "Left", 0), -20);
    // A value that is not a number reads as 0, not as the default.
    EXPECT_EQ(f.readInteger("Form", "Top", 5), 0);
    // Missing key and missing section give the default.
    EXPECT_EQ(f.readInteger("Form", "Height", 486), 486);
    EXPECT_EQ(f.readString("Serial", "Bells", "000"), "000");
    // Any whole number other than 0 is true.
    ASSERT_TRUE(f.writeString("Settings", "Grid", "7"));
    EXPECT_TRUE(f.readBool("Settings", "Grid", false));
}

// A write replaces one line in place, keeps every other line (comments and
// unknown keys included) and adds missing keys and sections.
TEST(ProfileFile, WriteKeepsOtherLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("campanix.ini"));
    ASSERT_TRUE(writeTextLines(path, {"; comment", "[View]", "Tools=1", "Extra=x", "", "[Form]", "Left=0"}));
    ProfileFile f(path);
    ASSERT_TRUE(f.writeBool("view", "tools", false));
    ASSERT_TRUE(f.writeString("View", "Bells", "1"));
    ASSERT_TRUE(f.writeString("Serial", "Types", "nnnnnnnnnnnnnnn"));
    EXPECT_EQ(lines(path), (QStringList{"; comment", "[View]", "tools=0", "Extra=x", "Bells=1", "", "[Form]",
                                        "Left=0", "[Serial]", "Types=nnnnnnnnnnnnnnn"}));
}

// A missing file reads as defaults and the first write creates it.
TEST(ProfileFile, MissingFileGivesDefaultsAndIsCreatedOnWrite) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("campanix.ini"));
    ProfileFile f(path);
    EXPECT_FALSE(f.exists());
    EXPECT_EQ(f.readInteger("Form", "Width", 694), 694);
    ASSERT_TRUE(f.writeInteger("Form", "Width", 800));
    EXPECT_EQ(lines(path), (QStringList{"[Form]", "Width=800"}));
}

// The first start writes exactly the twenty lines, with the work area's size.
TEST(AppSettings, DefaultFileHasTheTwentyLines) {
    QTemporaryDir dir;
    ProfileFile f(dir.filePath(QStringLiteral("campanix.ini")));
    AppSettings s(f);
    ASSERT_TRUE(s.writeDefaultFileIfMissing(QSize(1280, 770)));
    const QStringList l = lines(f.path());
    ASSERT_EQ(l.size(), 20);
    EXPECT_EQ(l[8], "Width=1280");
    EXPECT_EQ(l[9], "Height=770");
    EXPECT_EQ(l[11], "Bells=000000000000011");
    EXPECT_EQ(l[19], "Model=0");
    QFile raw(f.path());
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().startsWith("[View]\r\nTools=1\r\n"));

    // An existing file is never overwritten.
    ASSERT_TRUE(f.writeInteger("Form", "Width", 500));
    ASSERT_TRUE(s.writeDefaultFileIfMissing(QSize(1, 1)));
    EXPECT_EQ(s.readBounds().width(), 500);
}

// Stored values outside their ranges are read safely; small sizes are raised.
TEST(AppSettings, ReadsOptionsWithTheirRules) {
    QTemporaryDir dir;
    ProfileFile f(dir.filePath(QStringLiteral("campanix.ini")));
    ASSERT_TRUE(writeTextLines(
        f.path(), {"[Settings]", "Model=7", "Stereo=0", "Grid=1", "[Form]", "Width=500", "Height=300"}));
    AppSettings s(f);
    const ViewOptions o = s.readViewOptions();
    EXPECT_EQ(o.model, 0);
    EXPECT_FALSE(o.stereo);
    EXPECT_TRUE(o.grid);
    EXPECT_TRUE(o.notes);
    EXPECT_TRUE(o.animate);
    const ViewFlags v = s.readViewFlags();
    EXPECT_TRUE(v.tools && v.bells && v.info && v.groups);
    EXPECT_EQ(boundedWindowSize(s.readBounds().size()), QSize(778, 574));
    EXPECT_EQ(boundedWindowSize(QSize(1000, 600)), QSize(1000, 600));
}

// What is written on close reads back the same.
TEST(AppSettings, WrittenSettingsReadBack) {
    QTemporaryDir dir;
    ProfileFile f(dir.filePath(QStringLiteral("campanix.ini")));
    AppSettings s(f);
    ViewFlags flags{false, true, false, true};
    ViewOptions options{true, false, false, true, 1, 2};
    ASSERT_TRUE(s.writeViewFlagsAndOptions(flags, options));
    ASSERT_TRUE(s.writeBounds(QRect(10, 20, 900, 700)));
    const ViewFlags rf = s.readViewFlags();
    EXPECT_EQ(rf.tools, false);
    EXPECT_EQ(rf.info, false);
    const ViewOptions ro = s.readViewOptions();
    EXPECT_EQ(ro.view, 1);
    EXPECT_EQ(ro.model, 2);
    EXPECT_EQ(ro.grid, true);
    EXPECT_EQ(s.readBounds(), QRect(10, 20, 900, 700));
}

// A write of the value a key already holds leaves the file byte for byte as
// it was (line ends, blanks and quotes of a hand-edited file included); any
// other value rewrites it.
TEST(ProfileFile, WritingTheStoredValueChangesNoByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("campanix.ini"));
    const QByteArray original = "[View]\nTools = 1\n[Serial]\nBells=\"000000000000011\"\n";
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write(original);
    raw.close();
    ProfileFile f(path);
    ASSERT_TRUE(f.writeBool("View", "Tools", true));
    ASSERT_TRUE(f.writeString("serial", "BELLS", "000000000000011"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), original);
    raw.close();
    EXPECT_TRUE(f.hasKey("View", "tools"));
    EXPECT_FALSE(f.hasKey("View", "Bells"));
    ASSERT_TRUE(f.writeBool("View", "Tools", false));
    EXPECT_EQ(lines(path), (QStringList{"[View]", "Tools=0", "[Serial]", "Bells=\"000000000000011\""}));
}

// The volume of [Audio] and the bounds of [Form] are read within their ranges.
TEST(AppSettings, VolumeAndBoundsAreReadWithinRange) {
    QTemporaryDir dir;
    ProfileFile f(dir.filePath(QStringLiteral("campanix.ini")));
    AppSettings s(f);
    EXPECT_FALSE(s.readVolume().has_value());
    struct Case {
        const char* stored;
        int level;
    };
    for (const Case& c : {Case{"100", 100}, Case{"0", 0}, Case{"999", 255}, Case{"-4", 0}, Case{"x", 0}}) {
        ASSERT_TRUE(f.writeString("Audio", "Volume", QString::fromLatin1(c.stored)));
        EXPECT_EQ(s.readVolume(), c.level) << c.stored;
    }
    ASSERT_TRUE(s.writeVolume(300));
    EXPECT_EQ(s.readVolume(), 255);
    ASSERT_TRUE(writeTextLines(
        f.path(), {"[Form]", "Left=2147483647", "Top=-99999999999", "Width=-5", "Height=99999999"}));
    EXPECT_EQ(s.readBounds(), QRect(1048576, -1048576, 0, 1048576));
}

// A rewrite changes the one line written and keeps every other byte: a
// byte-order mark, lone LF and CR ends, a byte Windows-1251 has no letter
// for, a last line without an end. A file that exists but cannot be read is
// never rewritten from a blank (it once lost every setting at exit).
TEST(ProfileFile, RewritesKeepOtherBytesAndNeverAnUnreadableFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("campanix.ini"));
    const QByteArray head = "\xEF\xBB\xBF[View]\nTools=1\rOdd=\x98\xFF\r\n";
    const QByteArray tail = "[Form]\r\n; note\nLeft=3";
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write(head + "Bells=1\r\n" + tail);
    raw.close();
    ProfileFile f(path);
    ASSERT_TRUE(f.writeString("View", "Bells", "0"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), head + "Bells=0\r\n" + tail);
    raw.close();
    // A new key after a last line without an end gives that line one.
    ASSERT_TRUE(f.writeString("Form", "Top", "4"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), head + "Bells=0\r\n" + tail + "\r\nTop=4\r\n");
    raw.close();

    const QByteArray before = [&] {
        raw.open(QIODevice::ReadOnly);
        const QByteArray b = raw.readAll();
        raw.close();
        return b;
    }();
    {
        const Unreadable unreadable(path);
        EXPECT_FALSE(f.writeString("View", "Tools", "0"));
        EXPECT_FALSE(f.writeAllLines({"[View]"}));
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), before);
}
