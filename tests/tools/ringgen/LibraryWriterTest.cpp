#include "LibraryWriter.h"

#include "base/TextCodec.h"
#include "ringing/RingingText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void put(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A source folder with one ringing per list.
void writeSources(const QString& src) {
    put(src + "/common/index.txt", "# order\nbell\n");
    put(src + "/common/bell.zvon",
        "name = Благовест\nrequire = 001\ninterval = 300\npattern p 8\nb1 x.......\nplay p*20\n");
    for (const char* list : {"small", "middle", "big"}) {
        put(src + "/" + list + "/index.txt", QStringLiteral("%1-loop\n").arg(list));
    }
    put(src + "/small/small-loop.zvon",
        "name = Конёк\nrequire = 1\ninterval = 144\npattern p 128\ns1 x.xx\nplay p\n");
    put(src + "/middle/middle-loop.zvon",
        "name = Шаг\nrequire = 2\ninterval = 144\npattern p 128\nm2 x...\nm1 ..x.\nplay p\n");
    put(src + "/big/big-loop.zvon",
        "name = Мерный\nrequire = 1\ninterval = 144\npattern p 128\nb1 x.......\nplay p\n");
    put(src + "/custom/index.txt", "village\n");
    put(src + "/custom/village.zvon", "name = Звон сельский\ntypes = nnnnnnbnnmmnnss\n"
                                      "description = Звонят в будни.\ninterval = 150\n"
                                      "pattern p 8\ns1+s2+m1+m2+b1 x.......\nplay p*30\n");
}

} // namespace

// The written files: catalogue lines "requirement;name;file", bodies as
// header plus columns, the list ringing's four-line preamble, all in
// Windows-1251 with CR LF after every line.
TEST(LibraryWriter, WritesCatalogueBodiesAndListRingings) {
    QTemporaryDir dir;
    const QString src = dir.path() + "/src";
    const QString out = dir.path() + "/out";
    writeSources(src);
    Library library;
    ASSERT_EQ(library.read(src), QStringList());
    ASSERT_EQ(library.write(out), QStringList());

    const QByteArray common = bytes(out + "/Campanel/common.kli");
    EXPECT_EQ(common, encode1251(QStringLiteral("001;Благовест;bell.kol\r\n")));
    EXPECT_EQ(common.at(4), char(0xC1)); // "Б" in Windows-1251, not UTF-8
    EXPECT_EQ(bytes(out + "/Campanel/small.kli"), encode1251(QStringLiteral("1;Конёк;small-loop.kol\r\n")));
    EXPECT_EQ(bytes(out + "/Campanel/middle.kli"), encode1251(QStringLiteral("2;Шаг;middle-loop.kol\r\n")));
    EXPECT_EQ(bytes(out + "/Campanel/big.kli"), encode1251(QStringLiteral("1;Мерный;big-loop.kol\r\n")));

    const QByteArray body = bytes(out + "/Campanel/bell.kol");
    EXPECT_TRUE(body.startsWith("300\r\nb1\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nb1\r\n"));
    EXPECT_EQ(body.count("\r\n"), 1 + 160);
    EXPECT_EQ(body.count('\n'), body.count("\r\n"));
    EXPECT_EQ(bytes(out + "/Campanel/middle-loop.kol").left(15), QByteArray("144\r\nm2\r\n\r\nm1\r\n"));

    EXPECT_EQ(bytes(out + "/Custom/list.kli"), encode1251(QStringLiteral("Звон сельский\r\n")));
    const std::optional<QStringList> custom = readTextLines(out + "/Custom/Звон сельский.kol");
    ASSERT_TRUE(custom.has_value());
    ASSERT_EQ(custom->size(), 4 + 1 + 240);
    EXPECT_EQ(custom->mid(0, 6), (QStringList{"000000100110011", "nnnnnnbnnmmnnss", "Звон сельский",
                                              "Звонят в будни.", "150", "s1,s2,m1,m2,b1"}));
}

// One broken ringing stops the whole library: every error is reported and
// nothing is left half-written.
TEST(LibraryWriter, BrokenSourcesWriteNothing) {
    QTemporaryDir dir;
    const QString src = dir.path() + "/src";
    writeSources(src);
    put(src + "/common/index.txt", "bell\nmissing\nloud\nbell\n");
    put(src + "/common/loud.zvon",
        "name = Громкий\nrequire = 001\ninterval = 300\npattern p 8\nb2 x.......\nplay p*20\n");
    Library library;
    const QStringList errors = library.read(src);
    const QString all = errors.join(u'\n');
    EXPECT_TRUE(all.contains("missing.zvon: cannot be read")) << all.toStdString();
    EXPECT_TRUE(all.contains("loud.zvon: column 0 names b2")) << all.toStdString();
    EXPECT_TRUE(all.contains("a second ringing would be written to Campanel/bell.kol")) << all.toStdString();
    EXPECT_TRUE(library.entries().isEmpty());

    QFile::remove(src + "/small/index.txt");
    EXPECT_TRUE(library.read(src).join(u'\n').contains("small/index.txt: cannot be read"));
}

// An encoded body is one line that the program's decoder turns back into the
// plain body, and every build writes the same bytes.
TEST(LibraryWriter, EncodedBodiesDecodeBackAndAreReproducible) {
    QTemporaryDir dir;
    const QString src = dir.path() + "/src";
    writeSources(src);
    put(src + "/common/bell.zvon", "name = Звон\nrequire = 021\ninterval = 300\nmarks = m-\nstore = encoded\n"
                                   "pattern p 8\nb1+m1+m2 x.......\nplay p*20 ~3\n");
    Library library;
    ASSERT_EQ(library.read(src), QStringList());
    ASSERT_EQ(library.write(dir.path() + "/a"), QStringList());
    ASSERT_EQ(library.write(dir.path() + "/b"), QStringList());
    const QByteArray stored = bytes(dir.path() + "/a/Campanel/bell.kol");
    EXPECT_EQ(stored, bytes(dir.path() + "/b/Campanel/bell.kol"));
    EXPECT_EQ(stored.count("\r\n"), 1);
    EXPECT_FALSE(stored.contains("b1"));

    QStringList lines = readTextLines(dir.path() + "/a/Campanel/bell.kol").value_or(QStringList{});
    DecodeRingingText(lines);
    ASSERT_EQ(lines.size(), 1 + 163);
    EXPECT_EQ(lines.at(0), QStringLiteral("300;m-"));
    EXPECT_EQ(lines.at(1), QStringLiteral("m1,m2,b1"));
    EXPECT_EQ(lines.last(), QString()); // trailing empty columns survive
}
