#include "desktop/LocalFileName.h"

#include "base/Logging.h"

#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscape(char16_t c) {
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `i` (RFC 3629: no
// overlong forms, no surrogates, nothing beyond U+10FFFF); 0 when there is
// none.
qsizetype sequenceLength(const QByteArray& bytes, qsizetype i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
        return 1;
    }
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second < low || second > high) {
        return 0;
    }
    for (qsizetype k = 2; k < length; ++k) {
        if (!isContinuation(bytes[i + k])) {
            return 0;
        }
    }
    return length;
}

} // namespace

QString fileNameFromLocalBytes(const QByteArray& bytes) {
    QString name;
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = sequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.mid(runStart, i - runStart));
        name += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i])));
        runStart = ++i;
    }
    return name + QString::fromUtf8(bytes.mid(runStart));
}

QByteArray localBytesOfFileName(const QString& name) {
    QByteArray bytes;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            ++i; // a pair of a character beyond the BMP, never an escape
            continue;
        }
        if (isEscape(c)) {
            bytes += name.mid(runStart, i - runStart).toUtf8();
            bytes += static_cast<char>(c - kEscapeBase);
            runStart = i + 1;
        }
    }
    return bytes + name.mid(runStart).toUtf8();
}

QStringList argumentsFromLocalBytes(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << fileNameFromLocalBytes(QByteArray(argv[i]));
    }
    return arguments;
}

bool hasForeignBytes(const QString& name) {
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) { return isEscape(c.unicode()); });
}

QString displayedFileName(const QString& name) {
    QString shown = name;
    for (QChar& c : shown) {
        if (isEscape(c.unicode())) {
            c = QChar::ReplacementCharacter;
        }
    }
    return shown;
}

bool isLocalFile(const QString& name) {
    if (!hasForeignBytes(name)) {
        return QFileInfo(name).isFile();
    }
    struct stat status {};
    return ::stat(localBytesOfFileName(name).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

LocalFileAccess::LocalFileAccess(const QString& name) {
    if (!hasForeignBytes(name)) {
        m_path = name;
        return;
    }
    m_descriptor = ::open(localBytesOfFileName(name).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_descriptor < 0) {
        qCWarning(lcDesktop) << "could not open" << displayedFileName(name);
        return;
    }
    // The link names the open file whatever its own name holds.
    m_path = QStringLiteral("/proc/self/fd/") + QString::number(m_descriptor);
    if (!QFileInfo(m_path).isFile()) {
        qCWarning(lcDesktop) << "no link to the open file" << displayedFileName(name);
        m_path.clear();
    }
}

LocalFileAccess::~LocalFileAccess() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}
