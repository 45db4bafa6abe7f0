#pragma once

#include <QObject>

// Typed "1", "2" or "3" in a group ringing selector is handed on as the
// character with code 255: those keys move the focus between the selectors,
// and must not also pick an item by its first letter.
class SelectorKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
