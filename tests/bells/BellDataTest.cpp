#include "base/RequiredFileCheck.h"
#include "bells/TBellData.h"
#include "support/TestProgram.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

struct Reports {
    QStringList messages;
    RequiredFileCheck check{[this](const QString& m) { messages << m; }};
};

} // namespace

// Fields land in their columns by bell index; Cyrillic text survives the 1251 round trip.
TEST(BellData, ReadsFifteenLinesIntoColumns) {
    TempProgram program;
    Reports r;
    TBellData data(program.cataloguePath(), r.check);
    EXPECT_TRUE(r.check.failedPaths().isEmpty());
    EXPECT_EQ(data.Column(1, 0), QStringLiteral("Колокол-0"));
    EXPECT_EQ(data.Column(2, 14), QStringLiteral("bell15.wav"));
    EXPECT_EQ(data.Column(3, 4), QStringLiteral("bell05.bmp"));
    EXPECT_EQ(data.Column(4, 4), QStringLiteral("bell05_off.bmp"));
    EXPECT_EQ(data.Column(7, 2), QStringLiteral("67"));
    EXPECT_EQ(data.Column(8, 2), QStringLiteral("z"));
    EXPECT_EQ(data.keyCode(2), 67);
    // Out-of-range requests fail quietly.
    EXPECT_EQ(data.Column(0, 0), QString());
    EXPECT_EQ(data.Column(9, 0), QString());
    EXPECT_EQ(data.Column(1, 15), QString());
    EXPECT_EQ(data.Column(1, -1), QString());
}

// Names are found ignoring letter case, Cyrillic included; unknown names give -1.
TEST(BellData, FindByNameIgnoresCase) {
    TempProgram program;
    Reports r;
    TBellData data(program.cataloguePath(), r.check);
    EXPECT_EQ(data.FindByName(QStringLiteral("колокол-3")), 3);
    EXPECT_EQ(data.FindByName(QStringLiteral("КОЛОКОЛ-14")), 14);
    EXPECT_EQ(data.FindByName(QStringLiteral("Колокол-")), -1);
    EXPECT_EQ(data.FindByName(QStringLiteral("Малые колокола")), -1);
}

// A sixteenth line is ignored and a trailing ";" adds no empty field.
TEST(BellData, ExtraLineAndTrailingSeparator) {
    TempProgram program;
    QStringList lines = TempProgram::catalogueLines();
    lines[0] += QStringLiteral(";");
    lines << QStringLiteral("Лишний;a;b;c;d;e;1;f");
    program.writeCatalogue(lines);
    Reports r;
    TBellData data(program.cataloguePath(), r.check);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(data.Column(8, 0), QStringLiteral("z"));
    EXPECT_EQ(data.FindByName(QStringLiteral("Лишний")), -1);
}

// A missing file is reported with its full path; the columns stay empty.
TEST(BellData, MissingFileIsReported) {
    TempProgram program;
    program.removeCatalogue();
    Reports r;
    TBellData data(program.cataloguePath(), r.check);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_TRUE(r.messages.first().contains(program.cataloguePath()));
    EXPECT_TRUE(r.check.terminationRequested());
    EXPECT_EQ(data.Column(1, 0), QString());
    EXPECT_EQ(data.FindByName(QString()), -1);
}

// Missing lines and fields are reported once each, shown once, and later bells keep their own fields.
TEST(BellData, MissingLinesAndFieldsKeepColumnsAligned) {
    TempProgram program;
    QStringList lines = TempProgram::catalogueLines();
    lines[3] = QStringLiteral("Короткий;s.wav;on.bmp"); // five fields missing
    lines = lines.mid(0, 14);                           // the fifteenth line missing
    program.writeCatalogue(lines);
    Reports r;
    TBellData data(program.cataloguePath(), r.check);
    EXPECT_EQ(r.messages.size(), 1);
    EXPECT_EQ(r.check.failedPaths().size(), 6);
    for (const QString& path : r.check.failedPaths()) {
        EXPECT_EQ(path, program.cataloguePath());
    }
    EXPECT_EQ(data.Column(4, 3), QString());
    EXPECT_EQ(data.Column(4, 4), QStringLiteral("bell05_off.bmp"));
    EXPECT_EQ(data.Column(7, 13), QStringLiteral("78"));
    EXPECT_EQ(data.Column(1, 14), QString());
    EXPECT_FALSE(data.keyCode(3).has_value());
}
