#include "lessons/PageProgress.h"
#include "lessons/TfrmLesson.h"
#include "support/TestProgram.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

struct ProgressCase {
    long long progress;
    long long maximum;
    const char* text; // UTF-8; empty: the report is ignored
};

TEST(LessonProgress, PercentRoundedHalfToEven) {
    const ProgressCase cases[] = {
        {1, 3, "33% Выполнено"},  // 33.3 rounds down
        {2, 3, "67% Выполнено"},  // 66.7 rounds up
        {1, 8, "12% Выполнено"},  // 12.5: half to the even 12, not 13
        {3, 8, "38% Выполнено"},  // 37.5: half to the even 38
        {0, 5, "0% Выполнено"},   // a page that has begun but loaded nothing
        {5, 5, "100% Выполнено"}, // done
        {7, 0, ""},               // maximum 0: ignored, no division by zero
        {1, -4, ""},              // negative maximum: ignored
    };
    for (const ProgressCase& c : cases) {
        EXPECT_EQ(progressText(c.progress, c.maximum), QString::fromUtf8(c.text))
            << c.progress << " of " << c.maximum;
    }
}

TEST(LessonProgress, PicturesCountOncePerAddressWhateverTheQuoting) {
    const QString html =
        QStringLiteral("<p><img src=\"img/a.png\"> <IMG alt='x' SRC='img/b.png'> <img src=img/c.png>"
                       "<img src=\"img/a.png\" width=10></p><p>src=\"img/not-a-picture.png\"</p>");
    EXPECT_EQ(referencedPictures(html), (QStringList{QStringLiteral("img/a.png"), QStringLiteral("img/b.png"),
                                                     QStringLiteral("img/c.png")}));
    EXPECT_TRUE(referencedPictures(QStringLiteral("<p>no pictures</p>")).isEmpty());
}

TEST(LessonProgress, CounterStepsThroughPageAndPicturesAndStopsAtTheEnd) {
    PageLoadCounter counter;
    counter.start(2);
    EXPECT_EQ(counter.step(), QStringLiteral("33% Выполнено"));
    EXPECT_EQ(counter.step(), QStringLiteral("67% Выполнено"));
    EXPECT_EQ(counter.step(), QStringLiteral("100% Выполнено"));
    // A resource the page did not announce never shows more than 100%.
    EXPECT_EQ(counter.step(), QStringLiteral("100% Выполнено"));
    // The next page starts from nothing again.
    counter.start(0);
    EXPECT_EQ(counter.step(), QStringLiteral("100% Выполнено"));
}

// The browser itself reports the page first and then each picture, and the
// status bar ends at 100% for a page whose pictures all load (or fail).
TEST(LessonProgress, WindowReportsThePageAndEachPicture) {
    ensureQtApplication();
    QTemporaryDir dir;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("one.png"))));
    QFile page(dir.filePath(QStringLiteral("page.htm")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><head><meta charset=\"windows-1251\"></head><body>"
               "<p>\xD3\xF0\xEE\xEA</p><img src=\"one.png\"><img src=\"missing.png\"><img src=\"one.png\">"
               "</body></html>");
    page.close();

    TfrmLesson window;
    window.resize(400, 300);
    QStringList texts;
    QObject::connect(window.IE, &LessonBrowser::progressReported,
                     [&](long long p, long long m) { texts << progressText(p, m); });
    ASSERT_TRUE(window.IE->navigate(page.fileName()));
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("33% Выполнено"), QStringLiteral("67% Выполнено"),
                                  QStringLiteral("100% Выполнено")}));
    EXPECT_EQ(window.statusText(), QStringLiteral("100% Выполнено"));
    // The page was read in the code page it declares.
    EXPECT_TRUE(window.IE->toPlainText().contains(QStringLiteral("Урок")));
}

} // namespace
