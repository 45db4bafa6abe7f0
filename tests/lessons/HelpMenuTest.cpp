#include "lessons/EngineVoice.h"
#include "lessons/LessonAddresses.h"
#include "lessons/Lessons.h"
#include "lessons/TfrmLesson.h"
#include "support/MainWindowTest.h"

#include <QFile>
#include <QShortcut>
#include <QStatusBar>

#include <sndfile.h>

#include <vector>

namespace {

// A second of quiet speech in WAV form under a voice's MP3 name: the engine
// decodes by content, so the voice plays.
bool writeVoice(const QString& path) {
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file) {
        return false;
    }
    const std::vector<float> tone(48000, 0.1f);
    const bool ok = sf_writef_float(file, tone.data(), 48000) == 48000;
    sf_close(file);
    return ok;
}

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

// A link followed while a lesson talks silences it before the next voice
// starts, so closing the window leaves nothing talking.
TEST_F(HelpMenuTest, ALinkSilencesTheVoiceOfThePageLeft) {
    ASSERT_TRUE(writeVoice(program.dir() + QStringLiteral("Voice/malye.mp3")));
    ASSERT_TRUE(writeVoice(program.dir() + QStringLiteral("Voice/srednie.mp3")));
    Lessons* lessons = frm->lessons();
    const auto talking = [lessons](int tag) {
        return lessons->voice(tag)->isPlaying() || lessons->voice(tag)->isWaiting();
    };
    control<QAction>(frm, "nLesson1")->trigger();
    TfrmLesson* window = lessons->window();
    if (!talking(lessontags::kSmall)) {
        GTEST_SKIP() << "no audio engine in this run";
    }
    emit window->IE->anchorClicked(QUrl(QStringLiteral("srednie.htm")));
    EXPECT_FALSE(talking(lessontags::kSmall));
    EXPECT_TRUE(talking(lessontags::kMiddle));
    EXPECT_EQ(lessons->tag(), lessontags::kMiddle);
    window->close();
    EXPECT_FALSE(talking(lessontags::kSmall));
    EXPECT_FALSE(talking(lessontags::kMiddle));
}

// A link to a page that is not there shows a notice naming the page (not
// where the installation lies), starts no voice, and leaves neither the last
// page's progress nor the link's text in the status bar.
TEST_F(HelpMenuTest, AMissingPageShowsANoticeAndStartsNoVoice) {
    // Its voice is there, so only the rule keeps it silent.
    ASSERT_TRUE(writeVoice(program.dir() + QStringLiteral("Voice/srednie.mp3")));
    Lessons* lessons = frm->lessons();
    control<QAction>(frm, "nLesson1")->trigger();
    TfrmLesson* window = lessons->window();
    LessonBrowser* browser = window->IE;
    ASSERT_EQ(window->statusText(), QStringLiteral("100% Выполнено"));
    ASSERT_TRUE(QFile::remove(program.dir() + QStringLiteral("Voice/srednie.htm")));
    // The pointer rests on the link as it is clicked.
    emit browser->highlighted(QUrl(QStringLiteral("srednie.htm")));
    ASSERT_FALSE(window->Status->currentMessage().isEmpty());
    emit browser->anchorClicked(QUrl(QStringLiteral("srednie.htm")));

    const QString shown = browser->toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Страница не найдена: srednie.htm"))) << qPrintable(shown);
    EXPECT_FALSE(shown.contains(QStringLiteral("/Voice/"))) << qPrintable(shown);
    EXPECT_TRUE(browser->pageMissing());
    EXPECT_EQ(lessons->tag(), lessontags::kNoVoice);
    EXPECT_FALSE(lessons->voice(lessontags::kMiddle)->isWaiting());
    EXPECT_FALSE(lessons->voice(lessontags::kMiddle)->isPlaying());
    EXPECT_EQ(window->statusText(), QString());
    EXPECT_EQ(window->Status->currentMessage(), QString());

    // The menu shows the same notice for its missing page.
    control<QAction>(frm, "nLesson2")->trigger();
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Страница не найдена: srednie.htm")));
    EXPECT_EQ(window->statusText(), QString());
    // A page that is there loads with its progress again.
    control<QAction>(frm, "nLesson3")->trigger();
    EXPECT_FALSE(browser->pageMissing());
    EXPECT_EQ(window->statusText(), QStringLiteral("100% Выполнено"));
}

} // namespace

// F1 asks for the help page from the main window and from the lesson window,
// which then shows it in place of the lesson.
TEST_F(HelpMenuTest, F1ShowsTheHelpPageFromEitherWindow) {
    EXPECT_EQ(control<QAction>(frm, "nHelp")->shortcut(), QKeySequence(Qt::Key_F1));
    control<QAction>(frm, "nManual")->trigger();
    ASSERT_EQ(frm->lessons()->tag(), lessontags::kReference);
    auto* f1 = frm->lessons()->window()->findChild<QShortcut*>(QStringLiteral("scHelp"));
    ASSERT_NE(f1, nullptr);
    EXPECT_EQ(f1->key(), QKeySequence(Qt::Key_F1));
    emit f1->activated();
    EXPECT_EQ(shownPage(), program.dir() + QStringLiteral("Help/index.htm"));
    EXPECT_EQ(frm->lessons()->tag(), lessontags::kNoVoice);
    EXPECT_TRUE(frm->lessons()->window()->isVisible());
}
