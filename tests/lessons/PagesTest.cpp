// Checks of the lesson, help and publisher pages the build wrote into the
// runnable installation, and of the lesson voices when the build made them.

#include "base/TextCodec.h"
#include "lessons/LessonTags.h"
#include "lessons/PageCharset.h"
#include "lessons/PageProgress.h"
#include "playback/audio/SampleDecoder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

QString installed(const QString& relative) {
    return QStringLiteral(CAMPANIX_RUNTIME_DIR "/") + relative;
}

QStringList installedPages() {
    QStringList pages;
    for (const QString& folder : {QStringLiteral("Help"), QStringLiteral("About"), QStringLiteral("Voice")}) {
        const QDir dir(installed(folder));
        for (const QString& name : dir.entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name)) {
            pages << dir.filePath(name);
        }
    }
    return pages;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList links(const QString& html) {
    static const QRegularExpression href(QStringLiteral(R"re(<a\b[^>]*?\bhref\s*=\s*"([^"]*)")re"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    auto it = href.globalMatch(html);
    while (it.hasNext()) {
        found << it.next().captured(1);
    }
    return found;
}

} // namespace

// A build that makes no data (the sanitizer build) has no pages to check.
#ifdef CAMPANIX_PAGES_GENERATED
#define SKIP_WITHOUT_PAGES()
#else
#define SKIP_WITHOUT_PAGES() GTEST_SKIP() << "this build writes no pages"
#endif

TEST(Pages, EveryMenuPageIsInstalled) {
    SKIP_WITHOUT_PAGES();
    QStringList expected{QStringLiteral("Help/index.htm"), QStringLiteral("About/index.htm")};
    for (const int tag : lessontags::kVoicedTags) {
        expected << QStringLiteral("Voice/") +
                        QString::fromLatin1(lessontags::kVoicedPages[static_cast<std::size_t>(tag)].page);
    }
    for (const QString& page : expected) {
        EXPECT_TRUE(QFileInfo::exists(installed(page))) << qPrintable(page) << " (build campanix_data first)";
    }
}

// Every page says it is Windows-1251 and is: its bytes read back unchanged,
// and the text is its UTF-8 source's, character for character.
TEST(Pages, DeclareTheCharsetTheyAreWrittenIn) {
    SKIP_WITHOUT_PAGES();
    const QStringList pages = installedPages();
    ASSERT_GE(pages.size(), 6);
    for (const QString& path : pages) {
        const QByteArray bytes = readAll(path);
        EXPECT_EQ(declaredCharset(bytes), QStringLiteral("windows-1251")) << qPrintable(path);
        EXPECT_EQ(encode1251(decode1251(bytes)), bytes) << qPrintable(path);
        const QString text = decodePage(bytes);
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("[А-Яа-яЁё]{4,}")))) << qPrintable(path);
        const QString relative = QDir(installed(QString())).relativeFilePath(path);
        QString source =
            QString::fromUtf8(readAll(QStringLiteral(CAMPANIX_SOURCE_DIR "/data/pages/") + relative));
        source.replace(QStringLiteral("<meta charset=\"utf-8\">"),
                       QStringLiteral("<meta charset=\"windows-1251\">"));
        EXPECT_EQ(text, source) << qPrintable(relative);
    }
}

// Pictures and links to other local pages resolve (anchors included);
// everything else is an internet or mail address the user's programs open.
TEST(Pages, LinksAndPicturesResolve) {
    SKIP_WITHOUT_PAGES();
    for (const QString& path : installedPages()) {
        const QString html = decodePage(readAll(path));
        const QDir folder = QFileInfo(path).dir();
        for (const QString& picture : referencedPictures(html)) {
            const QFileInfo file(folder.filePath(picture));
            EXPECT_TRUE(file.exists() && file.size() > 0) << qPrintable(path) << ": " << qPrintable(picture);
        }
        for (const QString& link : links(html)) {
            const QUrl url(link);
            if (!url.isRelative()) {
                EXPECT_TRUE(url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("mailto"))
                    << qPrintable(path) << ": " << qPrintable(link);
                continue;
            }
            const QString target = url.path().isEmpty() ? path : folder.filePath(url.path());
            ASSERT_TRUE(QFileInfo::exists(target)) << qPrintable(path) << ": " << qPrintable(link);
            if (url.hasFragment()) {
                const QString anchor = QStringLiteral("name=\"%1\"").arg(url.fragment());
                EXPECT_TRUE(decodePage(readAll(target)).contains(anchor))
                    << qPrintable(path) << ": " << qPrintable(link);
            }
        }
    }
}

// The voices, when this build could speak them: each decodes as the program
// decodes it and lasts as long as a spoken lesson does.
TEST(Pages, VoicesDecodeAndLastMinutes) {
    int found = 0;
    for (const int tag : lessontags::kVoicedTags) {
        const lessontags::VoicedPage& page = lessontags::kVoicedPages[static_cast<std::size_t>(tag)];
        const QString path = installed(QStringLiteral("Voice/") + QString::fromLatin1(page.voice));
        if (!QFileInfo::exists(path)) {
            continue;
        }
        ++found;
        std::string error;
        const auto sample = audio::decodeSample(QFile::encodeName(path).toStdString(), 48000, &error);
        ASSERT_TRUE(sample) << error;
        const double seconds = static_cast<double>(sample->frames) / 48000.0;
        EXPECT_GT(seconds, 60.0) << page.voice;
        EXPECT_LT(seconds, 360.0) << page.voice;
    }
    if (found == 0) {
        GTEST_SKIP() << "no voices in this build (espeak-ng was not found)";
    }
    EXPECT_EQ(found, static_cast<int>(lessontags::kVoicedTags.size()));
}

// The about page and the package's copyright file grant the same licence:
// every sentence of the page's licence stands in the file, word for word.
TEST(Pages, AboutPageAndCopyrightFileSayTheSameLicence) {
    const QString about =
        QString::fromUtf8(readAll(QStringLiteral(CAMPANIX_SOURCE_DIR "/data/pages/About/index.htm")));
    const QString copyright =
        QString::fromUtf8(readAll(QStringLiteral(CAMPANIX_SOURCE_DIR "/cmake/debian/copyright")))
            .replace(QRegularExpression(QStringLiteral("\\n \\.\\n")), QStringLiteral(" "))
            .simplified();
    static const QRegularExpression paragraph(QStringLiteral(R"(<p class="licence">(.*?)</p>)"),
                                              QRegularExpression::DotMatchesEverythingOption);
    int sentences = 0;
    auto it = paragraph.globalMatch(about);
    while (it.hasNext()) {
        const QString text = it.next().captured(1).simplified();
        for (const QString& sentence : text.split(QRegularExpression(QStringLiteral("(?<=\\.) ")))) {
            ++sentences;
            EXPECT_TRUE(copyright.contains(sentence)) << qPrintable(sentence);
        }
    }
    EXPECT_GE(sentences, 6);
    // Nothing in the file takes back what the page grants.
    EXPECT_FALSE(copyright.contains(QStringLiteral("All rights reserved")));
}
