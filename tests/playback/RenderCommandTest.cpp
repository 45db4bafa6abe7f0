#include "playback/RenderCommand.h"
#include "base/TextCodec.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList words(const char* text) {
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

TEST(RenderArguments, AcceptedAndRefused) {
    struct Case {
        const char* arguments;
        bool ok;
    };
    const Case cases[] = {
        {"a.ukl out.wav", true},
        {"a.ukl out.wav --model 3 --mono --tempo 50 --float --data-dir /opt/c", true},
        {"body.txt out.wav --bells 111110000000000 --types bbmssnnnnnnnnnn", true},
        {"a.ukl", false},                   // the output is missing
        {"a.ukl out.wav extra", false},     // one name too many
        {"a.ukl out.wav --model 4", false}, // no fourth sample set
        {"a.ukl out.wav --model x", false},
        {"a.ukl out.wav --model", false},    // an option without its value
        {"a.ukl out.wav --tempo 49", false}, // outside the sequencer's range
        {"a.ukl out.wav --tempo 1001", false},
        {"a.ukl out.wav --tempo 1e2", false},
        {"a.ukl out.wav --stereo", false}, // unknown options are not ignored
        {"b out.wav --bells 11111000000000 --types bbmssnnnnnnnnnn", false}, // fourteen characters
        {"b out.wav --bells 111110000000002 --types bbmssnnnnnnnnnn", false},
        {"b out.wav --bells 111110000000000 --types bbmssnnnnnnnnnx", false},
        {"b out.wav --bells 111110000000000", false}, // --types is missing
    };
    for (const Case& c : cases) {
        const RenderArguments parsed = parseRenderArguments(words(c.arguments));
        EXPECT_EQ(parsed.options.has_value(), c.ok) << c.arguments;
        EXPECT_EQ(parsed.error.isEmpty(), c.ok) << c.arguments;
    }
}

TEST(RenderArguments, ValuesAreKept) {
    const RenderArguments parsed =
        parseRenderArguments(words("--mono in.kol --tempo 200 out.wav --model 2 --data-dir /x"));
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->ringingPath, QStringLiteral("in.kol"));
    EXPECT_EQ(parsed.options->outputPath, QStringLiteral("out.wav"));
    EXPECT_EQ(parsed.options->model, 2);
    EXPECT_TRUE(parsed.options->mono);
    EXPECT_EQ(parsed.options->tempoMs, 200);
    EXPECT_EQ(parsed.options->dataDir, QStringLiteral("/x"));
    EXPECT_TRUE(parseRenderArguments(words("-h")).help);
}

class RenderReading : public ::testing::Test {
protected:
    QString write(const QString& name, const QStringList& lines) {
        const QString path = dir.path() + u'/' + name;
        EXPECT_TRUE(writeTextLines(path, lines));
        return path;
    }
    std::optional<RenderRinging> read(const QString& path, RenderOptions options = {}) {
        options.ringingPath = path;
        error.clear();
        return readRingingForRender(options, &error);
    }

    QTemporaryDir dir;
    QString error;
};

TEST_F(RenderReading, UserRingingFileWithEncodedBody) {
    const auto ringing = read(
        write(QStringLiteral("r.ukl"), {QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"),
                                        QStringLiteral("Name_1"), QStringLiteral("144&{1~[}1&&!1~{2&")}));
    ASSERT_TRUE(ringing) << error.toStdString();
    EXPECT_EQ(ringing->name, QStringLiteral("Name_1"));
    EXPECT_EQ(ringing->intervalMs, 144);
    EXPECT_EQ(ringing->columns, QStringList({QStringLiteral("s1,m1"), QString(), QStringLiteral("b1,s2")}));
    EXPECT_EQ(ringing->ensemble.group(0), kBigGroup); // groups as stored
    EXPECT_EQ(ringing->ensemble.group(4), kSmallGroup);
}

TEST_F(RenderReading, ListRingingAndTempoOverride) {
    RenderOptions options;
    options.tempoMs = 60;
    const auto ringing =
        read(write(QStringLiteral("l.kol"), {QStringLiteral("111111000000000"),
                                             QStringLiteral("bbbmms"
                                                            "nnnnnnnnn"),
                                             QStringLiteral("List"), QStringLiteral("description"),
                                             QStringLiteral("300"), QStringLiteral("b1,m1,s1")}),
             options);
    ASSERT_TRUE(ringing) << error.toStdString();
    EXPECT_EQ(ringing->intervalMs, 60);
    EXPECT_EQ(ringing->columns, QStringList({QStringLiteral("b1,m1,s1")}));
}

TEST_F(RenderReading, PlainBodyTakesTheEnsembleFromTheOptions) {
    const QString path = write(QStringLiteral("body.txt"), {QStringLiteral("100"), QStringLiteral("s1")});
    EXPECT_FALSE(read(path)); // without --bells/--types there is no ensemble
    EXPECT_TRUE(error.contains(QStringLiteral("--bells")));
    RenderOptions options;
    options.bells = QStringLiteral("000000000011111");
    options.types = QStringLiteral("nnnnnnnnnnmmsss");
    const auto ringing = read(path, options);
    ASSERT_TRUE(ringing) << error.toStdString();
    EXPECT_EQ(ringing->intervalMs, 100);
    EXPECT_EQ(ringing->ensemble.selectedCount(), 5);
}

// A library body kept under the ".kol" ending is a plain body, not a list ringing.
TEST_F(RenderReading, LibraryBodyWithTheListEndingIsPlain) {
    const QString path = write(QStringLiteral("trezvon.kol"), {QStringLiteral("120;s-"), QStringLiteral("b1"),
                                                              QStringLiteral("s1,m1")});
    RenderOptions options;
    options.bells = QStringLiteral("000000000011111");
    options.types = QStringLiteral("nnnnnnnnnnbmmss");
    const auto ringing = read(path, options);
    ASSERT_TRUE(ringing) << error.toStdString();
    EXPECT_EQ(ringing->intervalMs, 120);
    EXPECT_EQ(ringing->columns, QStringList({QStringLiteral("b1"), QStringLiteral("s1,m1")}));
}

TEST_F(RenderReading, Failures) {
    // Each failure names its cause, so that a user can mend the file.
    EXPECT_FALSE(read(dir.path() + QStringLiteral("/none.ukl")));
    EXPECT_TRUE(error.contains(QStringLiteral("no such file")));

    EXPECT_FALSE(read(write(QStringLiteral("short.ukl"), {QStringLiteral("111110000000000")})));
    EXPECT_TRUE(error.contains(QStringLiteral("preamble")));

    EXPECT_FALSE(read(write(QStringLiteral("few.ukl"),
                            {QStringLiteral("111100000000000"), QStringLiteral("bbmsnnnnnnnnnnn"),
                             QStringLiteral("n"), QStringLiteral("144&{1&")})));
    EXPECT_TRUE(error.contains(QStringLiteral("at least 5")));

    // A first line that names no interval is still the header, as the
    // window takes it, and the ringing plays at the window's 144 ms.
    const auto noInterval = read(write(QStringLiteral("nohead.ukl"),
                                       {QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"),
                                        QStringLiteral("n"), QStringLiteral("{1&{2&")}));
    ASSERT_TRUE(noInterval) << error.toStdString();
    EXPECT_EQ(noInterval->intervalMs, 144);
    EXPECT_FALSE(noInterval->headerInterval);
    EXPECT_EQ(noInterval->columns, QStringList{QStringLiteral("s2")});

    EXPECT_FALSE(
        read(write(QStringLiteral("empty.ukl"), {QStringLiteral("111110000000000"),
                                                 QStringLiteral("bbmssnnnnnnnnnn"), QStringLiteral("n")})));
    EXPECT_TRUE(error.contains(QStringLiteral("header")));

    RenderOptions options;
    options.bells = QStringLiteral("111110000000000");
    options.types = QStringLiteral("bbmssnnnnnnnnnn");
    EXPECT_FALSE(read(write(QStringLiteral("own.ukl"),
                            {QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"),
                             QStringLiteral("n"), QStringLiteral("144&{1&")}),
                      options)); // a file with its own ensemble takes no other
}

} // namespace
