#include "animation/FullViewTitle.h"

#include <QFontMetrics>
#include <QPainter>

FullViewTitle::FullViewTitle(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(13);
    setFont(titleFont);
    resize(sizeHint());
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize FullViewTitle::sizeHint() const {
    const QFontMetrics metrics(font());
    // Turned: the text's length is the height.
    return {metrics.height() + 2, metrics.horizontalAdvance(m_text) + 4};
}

void FullViewTitle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(0, height());
    painter.rotate(-90);
    const QFontMetrics metrics(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPoint(2, (width() - metrics.height()) / 2 + metrics.ascent()), m_text);
}
