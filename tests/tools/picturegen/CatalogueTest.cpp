#include "Catalogue.h"

#include "base/TextCodec.h"
#include "base/TextLists.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace {

QStringList sourceCatalogue() {
    QFile file(QStringLiteral(PICTUREGEN_CATALOGUE_SOURCE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return catalogue::sourceLines(QString::fromUtf8(file.readAll()));
}

QString withField(const QString& line, int field, const QString& value) {
    QStringList f = SplitList(line, QStringLiteral(";"));
    f[field] = value;
    return f.join(u';');
}

bool mentions(const QStringList& errors, const QString& text) {
    for (const QString& e : errors) {
        if (e.contains(text)) {
            return true;
        }
    }
    return false;
}

} // namespace

// The committed source is what the build installs: it must pass every rule.
TEST(CatalogueSource, IsSound) {
    const QStringList lines = sourceCatalogue();
    ASSERT_EQ(lines.size(), catalogue::kBellCount);
    EXPECT_EQ(catalogue::validate(lines), QStringList());
}

// Each broken rule is reported, naming what is wrong.
TEST(CatalogueSource, ReportsEveryBrokenRule) {
    struct Case {
        const char* what;
        std::function<void(QStringList&)> spoil;
        QString expected;
    };
    const Case cases[] = {
        // A lost line would shift every later bell onto the wrong sample.
        {"missing line", [](QStringList& l) { l.removeLast(); },
         QStringLiteral("expected 15 bells, found 14")},
        // A trailing ";" gives no empty last field when the program splits the line.
        {"empty last field",
         [](QStringList& l) { l[3] = withField(l[3], catalogue::Description, QString()); },
         QStringLiteral("bell 3: 7 fields")},
        // Names are looked up ignoring case, Cyrillic included.
        {"name differing only in case",
         [](QStringList& l) {
             l[9] = withField(l[9], catalogue::Name, SplitList(l[2], QStringLiteral(";")).at(0).toUpper());
         },
         QStringLiteral("is used twice")},
        // Space, arrows and 1..3 have other jobs in the keyboard handler.
        {"space", [](QStringList& l) { l[0] = withField(l[0], catalogue::KeyCode, QStringLiteral("32")); },
         QStringLiteral("key code 32 has other work")},
        {"left arrow",
         [](QStringList& l) { l[1] = withField(l[1], catalogue::KeyCode, QStringLiteral("37")); },
         QStringLiteral("key code 37 has other work")},
        {"down arrow",
         [](QStringList& l) { l[1] = withField(l[1], catalogue::KeyCode, QStringLiteral("40")); },
         QStringLiteral("key code 40 has other work")},
        {"digit 3", [](QStringList& l) { l[2] = withField(l[2], catalogue::KeyCode, QStringLiteral("51")); },
         QStringLiteral("key code 51 has other work")},
        {"pad 1", [](QStringList& l) { l[2] = withField(l[2], catalogue::KeyCode, QStringLiteral("97")); },
         QStringLiteral("key code 97 has other work")},
        // The key scan stops at a key code that is not a whole number.
        {"key not a number",
         [](QStringList& l) { l[4] = withField(l[4], catalogue::KeyCode, QStringLiteral("K")); },
         QStringLiteral("is not a whole number")},
        // Two bells on one key: only the first would ever sound.
        {"shared key",
         [](QStringList& l) {
             l[14] = withField(l[14], catalogue::KeyCode, SplitList(l[13], QStringLiteral(";")).at(6));
         },
         QStringLiteral("is used twice")},
        // The sound generator writes bell01.wav for bell 0.
        {"sample name",
         [](QStringList& l) { l[0] = withField(l[0], catalogue::Sample, QStringLiteral("bell1.wav")); },
         QStringLiteral("sample must be bell01.wav")},
        {"picture name",
         [](QStringList& l) { l[5] = withField(l[5], catalogue::Picture, QStringLiteral("bell05.bmp")); },
         QStringLiteral("picture must be bell06.bmp")},
        {"dim picture name",
         [](QStringList& l) { l[5] = withField(l[5], catalogue::PictureOff, QStringLiteral("bell06.bmp")); },
         QStringLiteral("dim picture must be bell06_off.bmp")},
        // The installed file is Windows-1251: a flat sign would be lost.
        {"text outside Windows-1251",
         [](QStringList& l) { l[7] = withField(l[7], catalogue::Tone, QStringLiteral("ми\u266d")); },
         QStringLiteral("Windows-1251")},
        {"blank weight",
         [](QStringList& l) { l[8] = withField(l[8], catalogue::Weight, QStringLiteral(" ")); },
         QStringLiteral("field 5 is empty")},
    };
    for (const Case& c : cases) {
        QStringList lines = sourceCatalogue();
        c.spoil(lines);
        const QStringList errors = catalogue::validate(lines);
        EXPECT_TRUE(mentions(errors, c.expected)) << c.what << ": " << errors.join(u'|').toStdString();
    }
}

// Big bells under the left hand's bottom row, middle bells on its home row,
// small bells under the right hand: a player finds a group by feel.
TEST(CatalogueSource, KeyLayoutKeepsGroupsUnderTheirHands) {
    const QStringList lines = sourceCatalogue();
    ASSERT_EQ(lines.size(), catalogue::kBellCount);
    const QString leftHand = QStringLiteral("QWERTASDFGZXCVB");
    const QString rightHand = QStringLiteral("YUIOPHJKLNM");
    for (int i = 0; i < catalogue::kBellCount; ++i) {
        const std::optional<int> code = catalogue::keyCode(lines.at(i));
        ASSERT_TRUE(code && *code >= 'A' && *code <= 'Z') << "bell " << i;
        const QChar key(*code);
        if (i < 10) {
            EXPECT_TRUE(leftHand.contains(key)) << "bell " << i << " on " << char(*code);
        } else {
            EXPECT_TRUE(rightHand.contains(key)) << "bell " << i << " on " << char(*code);
        }
    }
}

// The installed catalogue is Windows-1251 with CR LF, and reads back as the source.
TEST(CatalogueConversion, WritesWindows1251WithCrLf) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("desc.kli"));
    QStringList written;
    ASSERT_EQ(catalogue::convertSource(QStringLiteral(PICTUREGEN_CATALOGUE_SOURCE), target, &written),
              QStringList());
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("\r\n"), catalogue::kBellCount);
    EXPECT_EQ(bytes.count('\n'), catalogue::kBellCount);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    // "П" of the first name is one byte 0xCF in Windows-1251 (two bytes in UTF-8).
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(0)), 0xCF);
    EXPECT_EQ(readTextLines(target), std::optional<QStringList>(sourceCatalogue()));
    EXPECT_EQ(written, sourceCatalogue());
}

// A broken source leaves the installed catalogue as it was.
TEST(CatalogueConversion, BrokenSourceLeavesTargetAlone) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("broken.txt"));
    const QString target = dir.filePath(QStringLiteral("desc.kli"));
    QStringList lines = sourceCatalogue();
    lines.removeFirst();
    QFile out(source);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lines.join(u'\n').toUtf8());
    out.close();
    ASSERT_TRUE(writeTextLines(target, {QStringLiteral("old")}));
    EXPECT_FALSE(catalogue::convertSource(source, target, nullptr).isEmpty());
    EXPECT_EQ(readTextLines(target), std::optional<QStringList>(QStringList{QStringLiteral("old")}));
    EXPECT_FALSE(
        catalogue::convertSource(dir.filePath(QStringLiteral("none.txt")), target, nullptr).isEmpty());
}

// Comments and blank lines of the source never reach the catalogue.
TEST(CatalogueConversion, DropsCommentsAndBlankLines) {
    const QString text = QStringLiteral("# note\r\n\r\nA;b\n   \n#x;y\nC;d");
    EXPECT_EQ(catalogue::sourceLines(text), (QStringList{QStringLiteral("A;b"), QStringLiteral("C;d")}));
}
