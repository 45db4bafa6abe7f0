#pragma once

#include <QWidget>

class QPixmap;

// One group's place in a view of the animation. It paints the one picture
// the animation state says is on top there, on the panel's background, so a
// strike only swaps a pointer to a picture read at start-up and repaints
// this small widget (through the window's back buffer: nothing flickers).
class BellAnimationPicture : public QWidget {
    Q_OBJECT
public:
    // centred: the picture is centred in the place (usual view); otherwise
    // it sits at the top-left corner (full view). A place smaller than the
    // picture shows it scaled down, its proportions kept; never enlarged.
    BellAnimationPicture(QWidget* parent, QSize size, bool centred);

    // The picture shown, or nullptr for none. Repaints only on a change.
    void showPicture(const QPixmap* picture);
    const QPixmap* picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QPixmap* m_picture = nullptr;
    bool m_centred = true;
};
