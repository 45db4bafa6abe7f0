#pragma once

#include "lessons/LessonTags.h"
#include "lessons/LessonVoices.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>

class EngineVoice;
class TfrmLesson;
class QWidget;

namespace audio {
class AudioEngine;
}

// The lessons, the help and the publisher's pages: the lesson window, its
// voices and the commands of the Help menu. Every page is shown in the
// one lesson window; internet and mail addresses go to the user's programs.
class Lessons : public QObject {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // programDir: the folder holding Help/, About/ and Voice/ (ending in
    // "/"). engine: the running audio engine or null, asked at every use.
    // owner: the main window, which the lesson window belongs to.
    Lessons(const QString& programDir, std::function<audio::AudioEngine*()> engine, QWidget* owner);
    ~Lessons() override;

    // "Помощь ...": the help index, no voice.
    void showHelp();
    // "Работа с программой ..." and the lessons: the page of a voiced tag
    // in the voice folder with its voice from the start.
    void showVoicedPage(int tag);
    // The publisher's page, no voice.
    void showPublisher();
    // The forum and the publisher's site (the banner) open in the user's
    // browser. The lesson window keeps its page, so its tag stays too.
    void openForum();
    void openPublisherSite();
    // A new message to the feedback mailbox in the user's mail program;
    // a failure is ignored.
    void writeFeedback();
    // What closing the lesson window does: stops the current tag's voice.
    void lessonWindowClosed();
    // A link inside the window led to a local page: the voice of the page
    // left stops, and a lesson page reached so gets its own voice from the
    // start. A page that could not be shown (shown false) starts no voice.
    void localPageFollowed(const QString& path, bool shown = true);

    // The tag whose voice may be talking (kNoVoice: none).
    int speaking() const { return m_voices->speaking(); }

    // Addresses leave through this (the desktop's handler by default).
    void setUrlOpener(UrlOpener opener);

    TfrmLesson* window() const { return m_window; }
    EngineVoice* voice(int tag) const;
    int tag() const { return m_voices->tag(); }
    QString pagePath(int tag) const;
    QString voicePath(int tag) const;

private:
    void showPage(const QString& path);

    QString m_programDir;
    TfrmLesson* m_window = nullptr;
    std::array<EngineVoice*, lessontags::kTagCount> m_players{};
    std::unique_ptr<LessonVoices> m_voices;
    UrlOpener m_opener;
};
