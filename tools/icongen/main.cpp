// campanix-icongen <icon.svg> <out folder> <size>...: draws the scalable
// icon at each size as <out>/<size>x<size>/campanix.png for the desktop's
// icon theme.

#include "IconPaths.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() < 3) {
        QTextStream(stderr) << "usage: campanix-icongen <icon.svg> <out folder> <size>...\n";
        return 2;
    }
    QFile file(arguments.at(0));
    if (!file.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << arguments.at(0) << ": " << file.errorString() << '\n';
        return 1;
    }
    QString error;
    const std::optional<IconDrawing> drawing = readIconDrawing(file.readAll(), &error);
    if (!drawing) {
        QTextStream(stderr) << arguments.at(0) << ": " << error << '\n';
        return 1;
    }
    for (const QString& sizeText : arguments.mid(2)) {
        const int size = sizeText.toInt();
        if (size <= 0) {
            QTextStream(stderr) << "bad icon size " << sizeText << '\n';
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / drawing->viewBox.width(), size / drawing->viewBox.height());
        for (const IconShape& shape : drawing->shapes) {
            painter.setBrush(shape.fill);
            painter.setPen(shape.stroke.isValid() ? QPen(shape.stroke, shape.strokeWidth) : QPen(Qt::NoPen));
            painter.drawPath(shape.path);
        }
        painter.end();
        const QString folder = arguments.at(1) + QStringLiteral("/%1x%1").arg(size);
        if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/campanix.png"))) {
            QTextStream(stderr) << "could not write the icon in " << folder << '\n';
            return 1;
        }
    }
    return 0;
}
