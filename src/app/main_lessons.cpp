// Handlers of the Help menu and the banner: each forwards to the lessons.

#include "app/TfrmMain.h"
#include "lessons/Lessons.h"

Lessons* TfrmMain::lessons() {
    if (!m_lessons) {
        m_lessons = new Lessons(
            m_paths->programDir(), [this] { return audioEngine(); }, this);
    }
    return m_lessons;
}

void TfrmMain::nHelpClick() {
    lessons()->showHelp();
}

void TfrmMain::nManualClick() {
    lessons()->showVoicedPage(lessontags::kReference);
}

void TfrmMain::nLesson1Click() {
    lessons()->showVoicedPage(lessontags::kSmall);
}

void TfrmMain::nLesson2Click() {
    lessons()->showVoicedPage(lessontags::kMiddle);
}

void TfrmMain::nLesson3Click() {
    lessons()->showVoicedPage(lessontags::kBig);
}

void TfrmMain::nLesson4Click() {
    lessons()->showVoicedPage(lessontags::kTrezvon);
}

void TfrmMain::nLesson5Click() {
    lessons()->showVoicedPage(lessontags::kWriting);
}

void TfrmMain::nLesson6Click() {
    lessons()->showVoicedPage(lessontags::kTraining);
}

void TfrmMain::N1Click() {
    lessons()->showPublisher();
}

void TfrmMain::nForumClick() {
    lessons()->openForum();
}

void TfrmMain::nMailClick() {
    lessons()->writeFeedback();
}

void TfrmMain::imgBannerClick() {
    lessons()->openPublisherSite();
}
