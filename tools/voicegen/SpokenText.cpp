#include "SpokenText.h"

#include "Pronunciation.h"

#include <QStringList>

namespace {

// The pause after each paragraph.
constexpr int kParagraphPauseMs = 700;

} // namespace

QStringList spokenParagraphs(const QString& source) {
    QStringList paragraphs;
    QString current;
    const auto flush = [&] {
        const QString text = current.simplified();
        if (!text.isEmpty()) {
            paragraphs << text;
        }
        current.clear();
    };
    for (const QString& line : source.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (trimmed.isEmpty()) {
            flush();
            continue;
        }
        current += QLatin1Char(' ') + trimmed;
    }
    flush();
    return paragraphs;
}

QString spokenSsml(const QString& source) {
    QString ssml = QStringLiteral("<speak>\n");
    for (const QString& paragraph : spokenParagraphs(source)) {
        ssml += QStringLiteral("<p>") + applyPronunciations(paragraph).toHtmlEscaped() +
                QStringLiteral("</p><break time=\"%1ms\"/>\n").arg(kParagraphPauseMs);
    }
    ssml += QStringLiteral("</speak>\n");
    return ssml;
}
