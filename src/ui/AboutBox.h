#pragma once

#include <QDialog>
#include <QString>

class QLabel;

// The about box "О программе": the splash picture over the whole client
// area; a click anywhere on it closes the box.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // picturePath: the splash picture; without it the box shows the
    // program's name instead.
    TAboutBox(const QString& picturePath, QWidget* parent);

    // Shows the box modally (without blocking), centred on the screen.
    void showCentred();

    QLabel* imgPicture = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
