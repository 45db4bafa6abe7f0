#include "base/RequiredFileCheck.h"

#include <QFileInfo>

RequiredFileCheck::RequiredFileCheck(Reporter reporter) : m_reporter(std::move(reporter)) {}

QString RequiredFileCheck::message(const QString& fullPath) {
    return QStringLiteral("Необходимый файл ") + fullPath + QStringLiteral(" поврежден или отсутствует.") +
           QStringLiteral("\r\n") + QStringLiteral("Дальнейшая работа с программой не возможна. ") +
           QStringLiteral("\r\n") + QStringLiteral("Необходимо переустановить программу.");
}

bool RequiredFileCheck::check(const QString& path) {
    if (QFileInfo(path).isFile()) {
        return true;
    }
    report(path);
    return false;
}

void RequiredFileCheck::report(const QString& path) {
    m_failedPaths.append(path);
    if (m_terminationRequested) {
        return;
    }
    m_terminationRequested = true;
    if (m_reporter) {
        m_reporter(message(path));
    }
}
