#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace fonts {

namespace {

const char* const kFontDir = "/usr/share/fonts/truetype/dejavu/";
const char* const kFiles[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf",
                              "DejaVuSerif-Bold.ttf"};

QFont make(const QString& family, qreal pixelSize, bool bold) {
    QFont f(family);
    f.setPixelSize(std::max(1, qRound(pixelSize)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

} // namespace

bool load() {
    bool all = true;
    for (const char* name : kFiles) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(kFontDir) + QString::fromLatin1(name)) <
            0) {
            all = false;
        }
    }
    return all;
}

QFont sans(qreal pixelSize, bool bold) {
    return make(QStringLiteral("DejaVu Sans"), pixelSize, bold);
}
QFont serif(qreal pixelSize, bool bold) {
    return make(QStringLiteral("DejaVu Serif"), pixelSize, bold);
}

} // namespace fonts
