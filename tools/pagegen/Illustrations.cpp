#include "Illustrations.h"

#include "BellPictures.h"
#include "Fonts.h"
#include "RingingSource.h"
#include "bells/Distributions.h"
#include "score/ScorePainter.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>

namespace illustrations {

namespace {

// The keys of the catalogue's bells 0..14 (the virtual-key codes of
// Data/desc.kli are these letters' codes).
constexpr char kKeys[15] = {'Z', 'X', 'C', 'V', 'B', 'A', 'S', 'D', 'F', 'G', 'U', 'I', 'J', 'K', 'L'};

const QColor kInk(0x33, 0x2a, 0x22);
const QColor kPaper(0xfb, 0xf8, 0xf1);

QColor colourOf(Group group) {
    switch (group) {
    case Group::Small:
        return QColor(0x2f, 0x55, 0xa4);
    case Group::Middle:
        return QColor(0x3a, 0x8a, 0x3e);
    case Group::Big:
        return QColor(0x9c, 0x33, 0x2c);
    case Group::All:
        break;
    }
    return QColor(0x99, 0x99, 0x99);
}

int bellOfKey(QChar key) {
    for (int bell = 0; bell < 15; ++bell) {
        if (QLatin1Char(kKeys[bell]) == key) {
            return bell;
        }
    }
    return -1;
}

// The course's selection divided as the program divides it.
const Ensemble& courseEnsemble() {
    static const Ensemble ensemble = [] {
        Ensemble e;
        for (const char* key = kCourseKeys; *key; ++key) {
            e.setSelected(bellOfKey(QLatin1Char(*key)), true);
        }
        Distributions().assign(e, 0);
        return e;
    }();
    return ensemble;
}

// All for a bell the course leaves out.
Group groupOfBell(int bell) {
    switch (courseEnsemble().group(bell)) {
    case kSmallGroup:
        return Group::Small;
    case kMiddleGroup:
        return Group::Middle;
    case kBigGroup:
        return Group::Big;
    default:
        return Group::All;
    }
}

} // namespace

QVector<int> bellsOf(Group group) {
    QVector<int> bells;
    for (int bell = 0; bell < 15; ++bell) {
        if (group == Group::All || groupOfBell(bell) == group) {
            bells << bell;
        }
    }
    return bells;
}

QChar keyOf(int bell) {
    return bell >= 0 && bell < 15 ? QLatin1Char(kKeys[bell]) : QChar();
}

QImage groupBells(Group group) {
    const QVector<int> bells = bellsOf(group);
    const int side = bellpictures::kSide;
    const int gap = 16;
    const int captionHeight = 26;
    QImage image(bells.size() * (side + gap) + gap, side + captionHeight + 2 * gap / 2, QImage::Format_RGB32);
    image.fill(kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(fonts::sans(14, true));
    for (int i = 0; i < bells.size(); ++i) {
        const int x = gap + i * (side + gap);
        p.drawImage(QPoint(x, gap / 2), bellpictures::render(bells[i], keyOf(bells[i]), true));
        p.setPen(kInk);
        p.drawText(QRect(x - gap / 2, gap / 2 + side, side + gap, captionHeight), Qt::AlignCenter,
                   QStringLiteral("Колокол %1").arg(15 - bells[i]));
    }
    return image;
}

QImage keyboard(Group group) {
    static const char* const kRows[3] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const int key = 52;
    const int gap = 6;
    const int margin = 14;
    const int rowOffset[3] = {0, key / 3, 2 * key / 3};
    const int width = 2 * margin + 10 * key + 9 * gap + rowOffset[2];
    const int height = 2 * margin + 3 * key + 2 * gap;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (int row = 0; row < 3; ++row) {
        const QString letters = QString::fromLatin1(kRows[row]);
        for (int i = 0; i < letters.size(); ++i) {
            const QChar letter = letters.at(i);
            const QRectF box(margin + rowOffset[row] + i * (key + gap), margin + row * (key + gap), key, key);
            const int bell = bellOfKey(letter);
            const bool marked = bell >= 0 && (group == Group::All || groupOfBell(bell) == group);
            const QColor fill = marked ? colourOf(groupOfBell(bell)) : QColor(0xe4, 0xe1, 0xda);
            QPainterPath cap;
            cap.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
            p.fillPath(cap, fill);
            p.setPen(QPen(marked ? fill.darker(150) : QColor(0xb8, 0xb3, 0xa8), 1.2));
            p.drawPath(cap);
            p.setPen(marked ? Qt::white : QColor(0x9a, 0x95, 0x8c));
            p.setFont(fonts::sans(20, true));
            p.drawText(box.adjusted(0, 2, 0, marked ? -14 : 0), Qt::AlignCenter, QString(letter));
            if (marked) {
                p.setFont(fonts::sans(11, false));
                p.drawText(box.adjusted(0, 0, 0, -4), Qt::AlignHCenter | Qt::AlignBottom,
                           QStringLiteral("кол. %1").arg(15 - bell));
            }
        }
    }
    return image;
}

QImage scoreExcerpt(const QList<QStringList>& columns, int pageIndex, const QVector<int>& groups,
                    const std::array<int, 3>& counts) {
    static const char* const kNames[3] = {"Малые колокола", "Средние колокола", "Большие колокола"};
    static const char kLetters[3] = {'s', 'm', 'b'};
    // Twelve pixels a column, and 16 or 12 pixels a staff row (5, 11 and 8
    // rows): the full staff, as the window shows it by default.
    const int width = 12 * kScorePageColumns + 8;
    const int heights[3] = {80, 132, 96};
    const int captionHeight = 22;
    int total = 0;
    for (int group : groups) {
        total += captionHeight + heights[group];
    }
    QImage image(width, total, QImage::Format_RGB32);
    image.fill(kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(fonts::sans(13, true));

    ScorePage page;
    page.page = pageIndex;
    page.counts = counts;
    for (int g = 0; g < 3; ++g) {
        for (const QStringList& column : columns) {
            QStringList tokens;
            for (const QString& token : column) {
                if (token.startsWith(QLatin1Char(kLetters[g]))) {
                    tokens << token;
                }
            }
            page.groups[static_cast<std::size_t>(g)] << tokens.join(QLatin1Char(','));
        }
    }
    int y = 0;
    for (int group : groups) {
        p.setPen(kInk);
        p.drawText(QRect(4, y, width - 8, captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(kNames[group]));
        y += captionHeight;
        p.drawImage(QPoint(0, y), renderScoreGroup(group, QSize(width, heights[group]), page, kPaper));
        y += heights[group];
    }
    return image;
}

namespace {

struct Excerpt {
    const char* fileName;
    const char* source; // below the ringings folder
    int page;
    QVector<int> groups;
    std::array<int, 3> counts;
};

// One ringing per lesson, each showing the figure the lesson starts from,
// and a trezvon with all three groups for the program guide.
const Excerpt kExcerpts[] = {
    {"score-small.png", "small/s-kony.zvon", 0, {0}, {2, 0, 0}},
    {"score-middle.png", "middle/m-kacheli.zvon", 0, {1}, {0, 3, 0}},
    {"score-big.png", "big/b-stupeni.zvon", 0, {2}, {0, 0, 3}},
    // Page 2: the first is mostly the big bell's three opening strokes.
    {"score-trezvon.png", "common/trezvon-vespers.zvon", 1, {0, 1, 2}, {2, 2, 1}},
};

} // namespace

QVector<Named> all(const QString& ringingsDir, QStringList* errors) {
    QVector<Named> pictures{
        {QStringLiteral("bells-small.png"), groupBells(Group::Small)},
        {QStringLiteral("bells-middle.png"), groupBells(Group::Middle)},
        {QStringLiteral("bells-big.png"), groupBells(Group::Big)},
        {QStringLiteral("keys-small.png"), keyboard(Group::Small)},
        {QStringLiteral("keys-middle.png"), keyboard(Group::Middle)},
        {QStringLiteral("keys-big.png"), keyboard(Group::Big)},
        {QStringLiteral("keys-all.png"), keyboard(Group::All)},
    };
    for (const Excerpt& excerpt : kExcerpts) {
        const QString path = ringingsDir + QLatin1Char('/') + QString::fromLatin1(excerpt.source);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *errors << path + QStringLiteral(": ") + file.errorString();
            continue;
        }
        const SourceParse parsed = parseRingingSource(QString::fromUtf8(file.readAll()), path);
        if (!parsed.ringing) {
            *errors << parsed.errors;
            continue;
        }
        pictures.append(
            {QString::fromLatin1(excerpt.fileName),
             scoreExcerpt(parsed.ringing->columns, excerpt.page, excerpt.groups, excerpt.counts)});
    }
    return pictures;
}

QStringList fileNames() {
    QStringList names{QStringLiteral("bells-small.png"), QStringLiteral("bells-middle.png"),
                      QStringLiteral("bells-big.png"),   QStringLiteral("keys-small.png"),
                      QStringLiteral("keys-middle.png"), QStringLiteral("keys-big.png"),
                      QStringLiteral("keys-all.png")};
    for (const Excerpt& excerpt : kExcerpts) {
        names << QString::fromLatin1(excerpt.fileName);
    }
    return names;
}

} // namespace illustrations
