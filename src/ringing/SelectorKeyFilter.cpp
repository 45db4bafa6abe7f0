#include "ringing/SelectorKeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

bool SelectorKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text != QLatin1String("1") && text != QLatin1String("2") && text != QLatin1String("3")) {
        return QObject::eventFilter(watched, event);
    }
    QKeyEvent replaced(QEvent::KeyPress, Qt::Key_ydiaeresis, key->modifiers(), QString(QChar(0xFF)),
                       key->isAutoRepeat(), static_cast<ushort>(key->count()));
    QCoreApplication::sendEvent(watched, &replaced);
    return true;
}
