#include "IconPaths.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace {

std::optional<QPainterPath> parsePathData(const QString& data, QString* error) {
    QStringList tokens;
    QString number;
    const auto flush = [&] {
        if (!number.isEmpty()) {
            tokens << number;
            number.clear();
        }
    };
    for (const QChar c : data) {
        if (c.isLetter()) {
            flush();
            tokens << QString(c);
        } else if (c.isSpace() || c == u',') {
            flush();
        } else {
            number += c;
        }
    }
    flush();

    QPainterPath path;
    QChar command;
    qsizetype i = 0;
    const auto take = [&](int count, std::vector<double>& values) {
        values.clear();
        for (int k = 0; k < count; ++k) {
            bool ok = false;
            const double v = i < tokens.size() ? tokens.at(i).toDouble(&ok) : 0;
            if (!ok) {
                return false;
            }
            values.push_back(v);
            ++i;
        }
        return true;
    };
    std::vector<double> v;
    while (i < tokens.size()) {
        if (tokens.at(i).size() == 1 && tokens.at(i).at(0).isLetter()) {
            command = tokens.at(i).at(0);
            ++i;
        }
        bool ok = true;
        if (command == u'M') {
            ok = take(2, v) && (path.moveTo(v[0], v[1]), true);
        } else if (command == u'L') {
            ok = take(2, v) && (path.lineTo(v[0], v[1]), true);
        } else if (command == u'Q') {
            ok = take(4, v) && (path.quadTo(v[0], v[1], v[2], v[3]), true);
        } else if (command == u'C') {
            ok = take(6, v) && (path.cubicTo(v[0], v[1], v[2], v[3], v[4], v[5]), true);
        } else if (command == u'Z') {
            path.closeSubpath();
            command = QChar();
        } else {
            *error = QStringLiteral("unsupported path command in \"%1\"").arg(data);
            return std::nullopt;
        }
        if (!ok) {
            *error = QStringLiteral("bad coordinates in \"%1\"").arg(data);
            return std::nullopt;
        }
    }
    return path;
}

} // namespace

std::optional<IconDrawing> readIconDrawing(const QByteArray& svg, QString* error) {
    IconDrawing drawing;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"svg") {
            const QStringList box = a.value(QStringLiteral("viewBox")).toString().split(u' ', Qt::SkipEmptyParts);
            if (box.size() != 4) {
                *error = QStringLiteral("the icon has no viewBox");
                return std::nullopt;
            }
            drawing.viewBox = QSizeF(box.at(2).toDouble(), box.at(3).toDouble());
            continue;
        }
        if (xml.name() != u"path") {
            *error = QStringLiteral("unsupported element <%1>").arg(xml.name());
            return std::nullopt;
        }
        IconShape shape;
        const std::optional<QPainterPath> path = parsePathData(a.value(QStringLiteral("d")).toString(), error);
        if (!path) {
            return std::nullopt;
        }
        shape.path = *path;
        shape.fill = QColor(a.value(QStringLiteral("fill")).toString());
        if (a.hasAttribute(QStringLiteral("stroke"))) {
            shape.stroke = QColor(a.value(QStringLiteral("stroke")).toString());
            shape.strokeWidth = a.value(QStringLiteral("stroke-width")).toDouble();
        }
        if (!shape.fill.isValid() || (a.hasAttribute(QStringLiteral("stroke")) && !shape.stroke.isValid())) {
            *error = QStringLiteral("a path without a solid colour");
            return std::nullopt;
        }
        drawing.shapes.push_back(shape);
    }
    if (xml.hasError()) {
        *error = xml.errorString();
        return std::nullopt;
    }
    if (drawing.viewBox.isEmpty() || drawing.shapes.empty()) {
        *error = QStringLiteral("the icon draws nothing");
        return std::nullopt;
    }
    return drawing;
}
