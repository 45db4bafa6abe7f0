#include "lessons/PageProgress.h"

#include "base/Rounding.h"

#include <QRegularExpression>

#include <algorithm>

QString progressText(long long progress, long long maximum) {
    if (maximum <= 0) {
        return {};
    }
    const double percent = static_cast<double>(progress) * 100.0 / static_cast<double>(maximum);
    return QString::number(roundHalfEven(percent)) + QStringLiteral("% Выполнено");
}

QStringList referencedPictures(const QString& html) {
    // src may be quoted with either quote or not at all; attributes may stand
    // in any order and the tag in any case.
    static const QRegularExpression img(
        QStringLiteral(R"re(<img\b[^>]*?\bsrc\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList pictures;
    auto it = img.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString src = m.captured(1);
        if (src.isEmpty()) {
            src = m.captured(2);
        }
        if (src.isEmpty()) {
            src = m.captured(3);
        }
        if (!src.isEmpty() && !pictures.contains(src)) {
            pictures << src;
        }
    }
    return pictures;
}

void PageLoadCounter::start(int pictures) {
    m_done = 0;
    m_total = 1 + std::max(pictures, 0);
}

QString PageLoadCounter::step() {
    m_done = std::min(m_done + 1, m_total);
    return progressText(m_done, m_total);
}
