#include "lessons/EngineVoice.h"
#include "lessons/LessonAddresses.h"
#include "lessons/Lessons.h"
#include "lessons/TfrmLesson.h"
#include "support/MainWindowTest.h"

#include <QFile>
#include <QStatusBar>

namespace {

class HelpMenuTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        program.writePictures();
        // The pages, without any voice: every lesson must still show.
        QDir(program.dir()).mkpath(QStringLiteral("Help"));
        QDir(program.dir()).mkpath(QStringLiteral("About"));
        QDir(program.dir()).mkpath(QStringLiteral("Voice"));
        for (const char* page : {"Help/index.htm", "About/index.htm", "Voice/reference.htm",
                                 "Voice/malie.htm", "Voice/srednie.htm", "Voice/bolshie.htm"}) {
            QFile file(program.dir() + QString::fromLatin1(page));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("<html><head><meta charset=\"windows-1251\"></head><body><p>") + page +
                       "</p><a href=\"../Voice/srednie.htm\">next</a></body></html>");
        }
        startWith({});
        frm->lessons()->setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }

    QString shownPage() const { return frm->lessons()->window()->IE->source().toLocalFile(); }

    QList<QUrl> opened;
};

// The captions of the Help menu, exactly: two blanks after each lesson
// number and the Latin "c" at the start of lesson 2's word.
TEST_F(HelpMenuTest, CaptionsAreExact) {
    const std::pair<QAction*, QString> items[] = {
        {control<QAction>(frm, "nHelp"), QStringLiteral("Помощь ...")},
        {control<QAction>(frm, "nManual"), QStringLiteral("Работа с программой ...")},
        {control<QAction>(frm, "nLesson1"), QStringLiteral("Урок 1  (малые колокола) ...")},
        {control<QAction>(frm, "nLesson2"),
         QStringLiteral("Урок 2  (") + QChar(u'c') + QStringLiteral("редние колокола) ...")},
        {control<QAction>(frm, "nLesson3"), QStringLiteral("Урок 3  (большие колокола) ...")},
        {control<QAction>(frm, "nForum"), QStringLiteral("Форум ...")},
        {control<QAction>(frm, "nMail"), QStringLiteral("Обратная связь ...")},
        {control<QAction>(frm, "nAbout"), QStringLiteral("О программе ...")},
    };
    for (const auto& [action, caption] : items) {
        EXPECT_EQ(action->text(), caption) << qPrintable(action->objectName());
    }
    EXPECT_EQ(control<QMenu>(frm, "nReference")->title(), QStringLiteral("Справка"));
}

TEST_F(HelpMenuTest, EachCommandShowsItsPageWithItsTag) {
    const struct {
        QAction* action;
        const char* page;
        int tag;
    } cases[] = {
        {control<QAction>(frm, "nManual"), "Voice/reference.htm", lessontags::kReference},
        {control<QAction>(frm, "nLesson1"), "Voice/malie.htm", lessontags::kSmall},
        {control<QAction>(frm, "nLesson2"), "Voice/srednie.htm", lessontags::kMiddle},
        {control<QAction>(frm, "nLesson3"), "Voice/bolshie.htm", lessontags::kBig},
        {control<QAction>(frm, "nHelp"), "Help/index.htm", lessontags::kNoVoice},
        {control<QAction>(frm, "N1"), "About/index.htm", lessontags::kNoVoice},
    };
    for (const auto& c : cases) {
        c.action->trigger();
        TfrmLesson* window = frm->lessons()->window();
        EXPECT_TRUE(window->isVisible()) << c.page;
        EXPECT_TRUE(window->windowState().testFlag(Qt::WindowMaximized)) << c.page;
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Campanix 1.2"));
        EXPECT_EQ(shownPage(), program.dir() + QString::fromLatin1(c.page));
        EXPECT_EQ(frm->lessons()->tag(), c.tag) << c.page;
        EXPECT_EQ(window->statusText(), QStringLiteral("100% Выполнено")) << c.page;
    }
    EXPECT_TRUE(opened.isEmpty());

    // The page shown again loads afresh: its progress runs again.
    int reports = 0;
    QObject::connect(frm->lessons()->window()->IE, &LessonBrowser::progressReported, [&] { ++reports; });
    control<QAction>(frm, "N1")->trigger();
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(shownPage(), program.dir() + QStringLiteral("About/index.htm"));
}

// Internet and mail addresses leave for the user's programs and leave the
// window's page, and so its tag, as they were.
TEST_F(HelpMenuTest, AddressesGoToTheUsersProgramsAndKeepTheTag) {
    control<QAction>(frm, "nLesson1")->trigger();
    control<QAction>(frm, "nForum")->trigger();
    frm->imgBannerClick();
    control<QAction>(frm, "nMail")->trigger();
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], lessonaddresses::forum());
    EXPECT_EQ(opened[1], lessonaddresses::publisherSite());
    EXPECT_EQ(opened[2].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(frm->lessons()->tag(), lessontags::kSmall);
    EXPECT_EQ(shownPage(), program.dir() + QStringLiteral("Voice/malie.htm"));
}

// Without any MP3 the lessons show, a link between lessons works, and
// closing and reopening the window is harmless.
TEST_F(HelpMenuTest, MissingVoicesLeaveTheWindowWorking) {
    auto* nLesson1 = control<QAction>(frm, "nLesson1");
    nLesson1->trigger();
    TfrmLesson* window = frm->lessons()->window();
    EXPECT_FALSE(frm->lessons()->voice(lessontags::kSmall)->isPlaying());
    emit window->IE->anchorClicked(QUrl(QStringLiteral("../Voice/srednie.htm")));
    EXPECT_EQ(shownPage(), program.dir() + QStringLiteral("Voice/srednie.htm"));
    // A lesson page reached by a link counts as that lesson.
    EXPECT_EQ(frm->lessons()->tag(), lessontags::kMiddle);
    window->close();
    EXPECT_FALSE(window->isVisible());
    nLesson1->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(shownPage(), program.dir() + QStringLiteral("Voice/malie.htm"));
}

} // namespace
