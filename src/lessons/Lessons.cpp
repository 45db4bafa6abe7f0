#include "lessons/Lessons.h"

#include "lessons/EngineVoice.h"
#include "lessons/LessonAddresses.h"
#include "lessons/TfrmLesson.h"

#include <QDesktopServices>
#include <QFileInfo>

Lessons::Lessons(const QString& programDir, std::function<audio::AudioEngine*()> engine, QWidget* owner)
    : QObject(owner), m_programDir(programDir) {
    m_opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_window = new TfrmLesson(owner);
    m_window->IE->setUrlOpener([this](const QUrl& url) { return m_opener ? m_opener(url) : false; });
    std::array<LessonVoice*, lessontags::kTagCount> players{};
    for (int tag : lessontags::kVoicedTags) {
        m_players[static_cast<std::size_t>(tag)] = new EngineVoice(engine, voicePath(tag), this);
        players[static_cast<std::size_t>(tag)] = m_players[static_cast<std::size_t>(tag)];
    }
    m_voices = std::make_unique<LessonVoices>(players);
    connect(m_window, &TfrmLesson::closed, this, &Lessons::lessonWindowClosed);
    connect(m_window, &TfrmLesson::helpRequested, this, &Lessons::showHelp);
    connect(m_window->IE, &LessonBrowser::localLinkFollowed, this,
            [this](const QUrl& page, bool shown) { localPageFollowed(page.toLocalFile(), shown); });
}

// Leaves the voices alone: the window goes with its owner, whose engine (and
// with it every voice) is gone by then.
Lessons::~Lessons() = default;

QString Lessons::pagePath(int tag) const {
    if (!lessontags::hasVoice(tag)) {
        return {};
    }
    return m_programDir + QStringLiteral("Voice/") +
           QString::fromLatin1(lessontags::kVoicedPages[static_cast<std::size_t>(tag)].page);
}

QString Lessons::voicePath(int tag) const {
    if (!lessontags::hasVoice(tag)) {
        return {};
    }
    return m_programDir + QStringLiteral("Voice/") +
           QString::fromLatin1(lessontags::kVoicedPages[static_cast<std::size_t>(tag)].voice);
}

EngineVoice* Lessons::voice(int tag) const {
    return lessontags::hasVoice(tag) ? m_players[static_cast<std::size_t>(tag)] : nullptr;
}

void Lessons::setUrlOpener(UrlOpener opener) {
    m_opener = std::move(opener);
}

void Lessons::showPage(const QString& path) {
    m_window->IE->navigate(path);
    m_window->showAndRaise();
}

void Lessons::showHelp() {
    m_voices->showWithoutVoice();
    showPage(m_programDir + QStringLiteral("Help/index.htm"));
}

void Lessons::showVoicedPage(int tag) {
    if (!lessontags::hasVoice(tag)) {
        return;
    }
    m_window->IE->navigate(pagePath(tag));
    m_voices->showWithVoice(tag);
    m_window->showAndRaise();
}

void Lessons::showPublisher() {
    m_voices->showWithoutVoice();
    showPage(m_programDir + QStringLiteral("About/index.htm"));
}

void Lessons::openForum() {
    if (m_opener) {
        m_opener(lessonaddresses::forum());
    }
}

void Lessons::openPublisherSite() {
    if (m_opener) {
        m_opener(lessonaddresses::publisherSite());
    }
}

void Lessons::writeFeedback() {
    if (m_opener) {
        m_opener(lessonaddresses::feedbackMail());
    }
}

void Lessons::lessonWindowClosed() {
    m_voices->windowClosed();
}

void Lessons::localPageFollowed(const QString& path, bool shown) {
    int reached = lessontags::kNoVoice;
    const QString page = QFileInfo(path).absoluteFilePath();
    for (int tag : lessontags::kVoicedTags) {
        if (shown && page == QFileInfo(pagePath(tag)).absoluteFilePath()) {
            reached = tag;
        }
    }
    // A link back to the page shown (its own navigation line) keeps its voice.
    if (reached != lessontags::kNoVoice && reached == m_voices->tag()) {
        return;
    }
    m_voices->linkFollowed(reached);
}
