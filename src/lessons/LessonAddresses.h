#pragma once

#include <QString>
#include <QUrl>

// The publisher's addresses on the internet: its site (the banner), the
// forum of the program's users and the feedback mailbox.
namespace lessonaddresses {

inline QUrl publisherSite() {
    return QUrl(QStringLiteral("https://tolvena.example/"));
}

inline QUrl forum() {
    return QUrl(QStringLiteral("https://tolvena.example/forum/campanix/"));
}

inline QUrl feedbackMail() {
    return QUrl(QStringLiteral("mailto:campanix@tolvena.example?subject=Campanix%201.2"));
}

} // namespace lessonaddresses
