#pragma once

#include <QWidget>

// A caption turned by 90 degrees, read from the bottom up: the titles of
// the full view's score columns.
class FullViewTitle : public QWidget {
    Q_OBJECT
public:
    FullViewTitle(const QString& text, QWidget* parent);

    const QString& text() const { return m_text; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
