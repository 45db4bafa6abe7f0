#include "lessons/EngineVoice.h"
#include "lessons/LessonAddresses.h"
#include "lessons/Lessons.h"
#include "lessons/TfrmLesson.h"
#include "support/MainWindowTest.h"

#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "input/KeyStrikeNotifier.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QShortcut>
#include <QWindow>
#include <QStatusBar>

#include <sndfile.h>

#include <cstdio>
#include <functional>
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
        QStringList pages{QStringLiteral("Help/index.htm"), QStringLiteral("About/index.htm")};
        for (const int tag : lessontags::kVoicedTags) {
            pages << QStringLiteral("Voice/") +
                         QString::fromLatin1(lessontags::kVoicedPages[static_cast<std::size_t>(tag)].page);
        }
        for (const QString& page : pages) {
            QFile file(program.dir() + page);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("<html><head><meta charset=\"windows-1251\"></head><body><p>" + page.toLatin1() +
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
        {control<QAction>(frm, "nLesson4"), QStringLiteral("Урок 4  (весь трезвон) ...")},
        {control<QAction>(frm, "nLesson5"), QStringLiteral("Урок 5  (свои упражнения) ...")},
        {control<QAction>(frm, "nLesson6"), QStringLiteral("Урок 6  (слух и руки) ...")},
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
        {control<QAction>(frm, "nLesson4"), "Voice/trezvon.htm", lessontags::kTrezvon},
        {control<QAction>(frm, "nLesson5"), "Voice/svoi-zvony.htm", lessontags::kWriting},
        {control<QAction>(frm, "nLesson6"), "Voice/trenirovka.htm", lessontags::kTraining},
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
    // The notice leads back: its link to the help opens the help.
    EXPECT_TRUE(browser->toHtml().contains(QStringLiteral("../Help/index.htm")));
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

// Every way a page comes and goes, in the real window: at most one voice
// talks at any time, and none once the window is closed.
TEST_F(HelpMenuTest, OneVoiceThroughEveryWayInAndOut) {
    for (const int tag : lessontags::kVoicedTags) {
        ASSERT_TRUE(writeVoice(frm->lessons()->voicePath(tag)));
    }
    Lessons* lessons = frm->lessons();
    TfrmLesson* window = lessons->window();
    const auto talking = [lessons] {
        int count = 0;
        for (const int tag : lessontags::kVoicedTags) {
            count += lessons->voice(tag)->isPlaying() || lessons->voice(tag)->isWaiting() ? 1 : 0;
        }
        return count;
    };
    auto* f1 = window->findChild<QShortcut*>(QStringLiteral("scHelp"));
    ASSERT_NE(f1, nullptr);
    const struct {
        const char* what;
        std::function<void()> act;
        int speaking; // the tag whose voice may talk afterwards
    } steps[] = {
        {"lesson 1 from the menu", [&] { control<QAction>(frm, "nLesson1")->trigger(); }, lessontags::kSmall},
        {"lesson 4 from the menu over it", [&] { control<QAction>(frm, "nLesson4")->trigger(); },
         lessontags::kTrezvon},
        {"F1 in the lesson window", [&] { emit f1->activated(); }, lessontags::kNoVoice},
        {"the guide from the menu", [&] { control<QAction>(frm, "nManual")->trigger(); },
         lessontags::kReference},
        {"the help from the menu", [&] { control<QAction>(frm, "nHelp")->trigger(); }, lessontags::kNoVoice},
        {"lesson 6 from the menu", [&] { control<QAction>(frm, "nLesson6")->trigger(); },
         lessontags::kTraining},
        {"a link to lesson 2", [&] { emit window->IE->anchorClicked(QUrl(QStringLiteral("srednie.htm"))); },
         lessontags::kMiddle},
        {"the publisher's page", [&] { control<QAction>(frm, "N1")->trigger(); }, lessontags::kNoVoice},
        {"lesson 5 from the menu", [&] { control<QAction>(frm, "nLesson5")->trigger(); },
         lessontags::kWriting},
        {"the forum leaves the page and its voice",
         [&] { control<QAction>(frm, "nForum")->trigger(); }, lessontags::kWriting},
        {"closing the window", [&] { window->close(); }, lessontags::kNoVoice},
        {"lesson 3 after closing", [&] { control<QAction>(frm, "nLesson3")->trigger(); }, lessontags::kBig},
        {"closing again", [&] { window->close(); }, lessontags::kNoVoice},
    };
    bool engine = false;
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(lessons->speaking(), step.speaking) << step.what;
        EXPECT_LE(talking(), 1) << step.what;
        if (step.speaking == lessontags::kNoVoice) {
            EXPECT_EQ(talking(), 0) << step.what;
        } else {
            engine = engine || talking() == 1;
        }
    }
    if (!engine) {
        std::printf("no audio engine in this run: the players' own state was not seen\n");
    }
}

// The lesson window rings the bells from their keys, as the main window
// does, but keeps Space and the arrows for its page.
TEST_F(HelpMenuTest, BellKeysRingFromTheLessonWindow) {
    frm.reset();
    program.writeBells(QStringLiteral("001000000000011"), QStringLiteral("nnnnnnnnnnnnnnn"));
    startWith({});
    frm->show();
    ASSERT_TRUE(frm->bells().keyboard().keyboardRinging());
    control<QAction>(frm, "nLesson1")->trigger();
    TfrmLesson* window = frm->lessons()->window();
    window->activateWindow();
    ASSERT_TRUE(waitFor([window] { return QApplication::activeWindow() == window; }, 2000));
    QList<int> struck;
    QObject::connect(&frm->bells().keyboard().keyStrikeNotifier(), &KeyStrikeNotifier::bellStruck, frm.get(),
                     [&](int bell) { struck << bell; });
    const auto press = [window](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(window->windowHandle(), &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(window->windowHandle(), &up);
    };
    const int current = frm->bells().currentBell();
    press(Qt::Key_C); // bell 2 is chosen: it rings
    press(Qt::Key_D); // bell 3 is not: nothing
    press(Qt::Key_C, Qt::ControlModifier); // copies, rings nothing
    press(Qt::Key_Right);
    press(Qt::Key_Space);
    EXPECT_EQ(struck, QList<int>{2});
    EXPECT_EQ(frm->bells().currentBell(), 2);
    EXPECT_TRUE(frm->ensemble().isSelected(2)); // Space toggled nothing
    EXPECT_NE(current, 3);
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
