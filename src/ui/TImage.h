#pragma once

#include <QLabel>

// A picture control: shows a pixmap (stretched or centred) and reports
// presses and clicks, like the image controls of the windows.
class TImage : public QLabel {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    void setStretch(bool stretch);
    bool stretch() const { return m_stretch; }

    // Loads the picture from a file; an unreadable file leaves it empty.
    bool loadPicture(const QString& path);
    void setPicture(const QPixmap& pixmap);
    const QPixmap& picture() const { return m_picture; }

signals:
    void pressed(Qt::MouseButton button);
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();

    QPixmap m_picture;
    bool m_stretch = false;
};
