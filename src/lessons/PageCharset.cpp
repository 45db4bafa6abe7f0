#include "lessons/PageCharset.h"

#include "base/TextCodec.h"

#include <QRegularExpression>

namespace {

// Browsers look for the declaration in the first 1024 bytes.
constexpr int kPrescanBytes = 1024;

} // namespace

QString declaredCharset(const QByteArray& page) {
    static const QRegularExpression meta(
        QStringLiteral(R"(<meta\b[^>]*?\bcharset\s*=\s*["']?\s*([A-Za-z0-9_.:-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(page.left(kPrescanBytes));
    const QRegularExpressionMatch m = meta.match(head);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

QString decodePage(const QByteArray& page) {
    const QString charset = declaredCharset(page);
    if (charset == QLatin1String("windows-1251") || charset == QLatin1String("cp1251")) {
        return decode1251(page);
    }
    return QString::fromUtf8(page);
}
