#include "output/PrintFile.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>

#include <cstdio>

PrintFile::PrintFile(QPrinter& printer) : m_printer(printer), m_target(printer.outputFileName()) {
    if (m_target.isEmpty()) {
        return;
    }
    const QFileInfo target(m_target);
    m_temporary = std::make_unique<QTemporaryFile>(
        target.absolutePath() + QStringLiteral("/.print-XXXXXX.") +
        (target.suffix().isEmpty() ? QStringLiteral("tmp") : target.suffix()));
    if (!m_temporary->open()) {
        m_temporary.reset();
        return;
    }
    m_temporary->close();
    // The finished file gets the target's permissions, or the usual ones of
    // a new file, rather than the temporary file's private ones.
    m_temporary->setPermissions(target.exists() ? target.permissions()
                                                : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                      QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    // Set after the temporary file exists: the printer keeps its format when
    // the name ends as the target's does.
    const QPrinter::OutputFormat format = m_printer.outputFormat();
    m_printer.setOutputFileName(m_temporary->fileName());
    m_printer.setOutputFormat(format);
}

PrintFile::~PrintFile() {
    if (toFile()) {
        const QPrinter::OutputFormat format = m_printer.outputFormat();
        m_printer.setOutputFileName(m_target);
        m_printer.setOutputFormat(format);
    }
}

bool PrintFile::ready() const {
    return !toFile() || m_temporary != nullptr;
}

bool PrintFile::finish(bool printed) {
    if (!toFile()) {
        return printed;
    }
    if (!m_temporary) {
        return false;
    }
    const QString temporary = m_temporary->fileName();
    const bool complete =
        printed && (m_printer.outputFormat() != QPrinter::PdfFormat || isCompletePdf(temporary));
    // rename() replaces the target in one step, so it is never seen half-written.
    if (complete &&
        std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(m_target).constData()) == 0) {
        m_temporary->setAutoRemove(false);
        m_temporary.reset();
        return true;
    }
    m_temporary.reset(); // removes the temporary file
    return false;
}

bool isCompletePdf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 8) {
        return false;
    }
    file.seek(std::max<qint64>(0, file.size() - 64));
    return file.readAll().trimmed().endsWith("%%EOF");
}
