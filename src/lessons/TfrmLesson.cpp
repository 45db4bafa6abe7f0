#include "lessons/TfrmLesson.h"
#include "base/WindowCaptions.h"

#include "base/Logging.h"
#include "input/KeyboardFocusGate.h"
#include "lessons/PageCharset.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// The notice keeps a way back: the pages lie in sibling folders, so the
// same relative links reach the help and the guide from any of them.
QString missingPageNotice(const QString& pageName) {
    return QStringLiteral("<html><body><p>Страница не найдена: %1</p>"
                          "<p><a href=\"../Help/index.htm\">Помощь</a> · "
                          "<a href=\"../Voice/reference.htm\">Работа с программой</a></p></body></html>")
        .arg(pageName.toHtmlEscaped());
}

bool isLocal(const QUrl& url) {
    return url.isRelative() || url.isLocalFile() || url.scheme() == QLatin1String("qrc");
}

} // namespace

LessonBrowser::LessonBrowser(QWidget* parent) : QTextBrowser(parent) {
    // Every link passes through followLink, so that internet addresses
    // leave for the user's browser instead of being fetched here.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    m_opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    connect(this, &QTextBrowser::anchorClicked, this, &LessonBrowser::followLink);
}

bool LessonBrowser::navigate(const QString& path) {
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    // A page shown again must load afresh (its pictures may have changed, and
    // the progress must run again), so the same address is cleared first.
    if (source().adjusted(QUrl::RemoveFragment) == url) {
        document()->clear();
        reload();
    } else {
        setSource(url, QTextDocument::HtmlResource);
    }
    return !m_pageMissing;
}

QVariant LessonBrowser::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::HtmlResource && name.isLocalFile()) {
        QFile file(name.toLocalFile());
        m_counter.start(0);
        m_counted.clear();
        m_pageMissing = !file.open(QIODevice::ReadOnly);
        if (m_pageMissing) {
            // The page's name, not where the installation lies: the notice
            // is for the reader, and the rest of the path tells them nothing.
            qCWarning(lcLessons) << "lesson page cannot be read:" << name.toLocalFile();
            emit pageOpened(false);
            return missingPageNotice(name.fileName());
        }
        emit pageOpened(true);
        const QString page = decodePage(file.readAll());
        m_counter.start(static_cast<int>(referencedPictures(page).size()));
        m_counted.clear();
        m_counter.step();
        emit progressReported(m_counter.done(), m_counter.total());
        return page;
    }
    const QVariant resource = QTextBrowser::loadResource(type, name);
    if (type == QTextDocument::ImageResource && m_counter.total() > 0 && !m_counted.contains(name)) {
        m_counted.insert(name);
        m_counter.step();
        emit progressReported(m_counter.done(), m_counter.total());
    }
    return resource;
}

void LessonBrowser::followLink(const QUrl& url) {
    if (!isLocal(url)) {
        if (m_opener) {
            m_opener(url);
        }
        return;
    }
    const QUrl target = source().resolved(url);
    if (target.hasFragment() &&
        target.adjusted(QUrl::RemoveFragment) == source().adjusted(QUrl::RemoveFragment)) {
        scrollToAnchor(target.fragment());
        return;
    }
    setSource(target, QTextDocument::HtmlResource);
    emit localLinkFollowed(target.adjusted(QUrl::RemoveFragment), !m_pageMissing);
}

TfrmLesson::TfrmLesson(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmLesson"));
    setWindowTitle(captions::kProgram);
    resize(1000, 720);
    // The exercises are read here, so the bell keys ring here as in the main
    // window; Space, the arrows and the digits keep scrolling the page.
    setProperty(kRingsBellStrikesProperty, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    IE = new LessonBrowser(this);
    IE->setObjectName(QStringLiteral("IE"));
    layout->addWidget(IE, 1);
    Status = new QStatusBar(this);
    Status->setObjectName(QStringLiteral("Status"));
    m_progress = new QLabel(Status);
    Status->addWidget(m_progress, 1);
    layout->addWidget(Status);

    // F1 here, as in the main window, shows the help page (in this window).
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setObjectName(QStringLiteral("scHelp"));
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, &TfrmLesson::helpRequested);

    connect(IE, &LessonBrowser::progressReported, this, &TfrmLesson::IEProgressChange);
    // A new page takes the place of the link text that the click left in the
    // status bar; a page that could not be read has no progress to show.
    connect(IE, &LessonBrowser::pageOpened, this, [this](bool found) {
        Status->clearMessage();
        if (!found) {
            m_progress->clear();
        }
    });
    // The address under the mouse shows over the progress while it points.
    connect(IE, qOverload<const QUrl&>(&QTextBrowser::highlighted), this, [this](const QUrl& url) {
        if (url.isEmpty()) {
            Status->clearMessage();
        } else {
            Status->showMessage(url.isLocalFile() ? url.fileName() : url.toString());
        }
    });
}

void TfrmLesson::showAndRaise() {
    if (!m_shownOnce || !isVisible()) {
        m_shownOnce = true;
        showMaximized();
    } else if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    raise();
    activateWindow();
}

void TfrmLesson::IEProgressChange(long long progress, long long maximum) {
    const QString text = progressText(progress, maximum);
    if (!text.isEmpty()) {
        m_progress->setText(text);
    }
}

QString TfrmLesson::statusText() const {
    return m_progress->text();
}

void TfrmLesson::closeEvent(QCloseEvent* event) {
    emit closed();
    QWidget::closeEvent(event);
}
