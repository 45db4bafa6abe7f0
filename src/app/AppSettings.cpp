#include "app/AppSettings.h"

#include "bells/EnsembleSettings.h"

#include <algorithm>

namespace {
const QString kView = QStringLiteral("View");
const QString kForm = QStringLiteral("Form");
const QString kSettings = QStringLiteral("Settings");
const QString kAudio = QStringLiteral("Audio");
const QString kVolume = QStringLiteral("Volume");
constexpr int kFarthestCoordinate = 1 << 20;
} // namespace

QStringList AppSettings::defaultFileLines(const QSize& workArea) {
    return {
        QStringLiteral("[View]"),
        QStringLiteral("Tools=1"),
        QStringLiteral("Bells=1"),
        QStringLiteral("Info=1"),
        QStringLiteral("Groups=1"),
        QStringLiteral("[Form]"),
        QStringLiteral("Left=0"),
        QStringLiteral("Top=0"),
        QStringLiteral("Width=") + QString::number(workArea.width()),
        QStringLiteral("Height=") + QString::number(workArea.height()),
        u'[' + ensemble_settings::kSection + u']',
        ensemble_settings::kBellsKey + u'=' + ensemble_settings::kFirstStartBells,
        ensemble_settings::kTypesKey + u'=' + ensemble_settings::kMissingTypes,
        QStringLiteral("[Settings]"),
        QStringLiteral("Grid=0"),
        QStringLiteral("Stereo=1"),
        QStringLiteral("Animate=1"),
        QStringLiteral("Notes=1"),
        QStringLiteral("View=0"),
        QStringLiteral("Model=0"),
    };
}

bool AppSettings::writeDefaultFileIfMissing(const QSize& workArea) {
    if (m_file.exists()) {
        return true;
    }
    return m_file.writeAllLines(defaultFileLines(workArea));
}

ViewFlags AppSettings::readViewFlags() const {
    ViewFlags f;
    f.tools = m_file.readBool(kView, QStringLiteral("Tools"), true);
    f.bells = m_file.readBool(kView, QStringLiteral("Bells"), true);
    f.info = m_file.readBool(kView, QStringLiteral("Info"), true);
    f.groups = m_file.readBool(kView, QStringLiteral("Groups"), true);
    return f;
}

ViewOptions AppSettings::readViewOptions() const {
    ViewOptions o;
    o.grid = m_file.readBool(kSettings, QStringLiteral("Grid"), false);
    o.view = m_file.readInteger(kSettings, QStringLiteral("View"), 0);
    if (o.view < 0 || o.view > 1) {
        o.view = 0;
    }
    o.stereo = m_file.readBool(kSettings, QStringLiteral("Stereo"), true);
    o.notes = m_file.readBool(kSettings, QStringLiteral("Notes"), true);
    o.animate = m_file.readBool(kSettings, QStringLiteral("Animate"), true);
    o.model = m_file.readInteger(kSettings, QStringLiteral("Model"), 0);
    // Values above the last row (and, so that no index is out of range,
    // negative ones) select the first row.
    if (o.model > 2 || o.model < 0) {
        o.model = 0;
    }
    o.belfry = m_file.readString(kSettings, QStringLiteral("Belfry"), QString());
    return o;
}

QRect AppSettings::readBounds() const {
    auto read = [this](const char* key, int defaultValue, int lowest) {
        return std::clamp(m_file.readInteger(kForm, QString::fromLatin1(key), defaultValue), lowest,
                          kFarthestCoordinate);
    };
    return QRect(read("Left", 0, -kFarthestCoordinate), read("Top", 0, -kFarthestCoordinate),
                 read("Width", 694, 0), read("Height", 486, 0));
}

std::optional<int> AppSettings::readVolume() const {
    if (!m_file.hasKey(kAudio, kVolume)) {
        return std::nullopt;
    }
    return std::clamp(m_file.readInteger(kAudio, kVolume, kFullVolume), 0, kFullVolume);
}

bool AppSettings::writeVolume(int level) {
    return m_file.writeInteger(kAudio, kVolume, std::clamp(level, 0, kFullVolume));
}

bool AppSettings::writeViewFlagsAndOptions(const ViewFlags& f, const ViewOptions& o) {
    bool ok = true;
    ok &= m_file.writeBool(kView, QStringLiteral("Tools"), f.tools);
    ok &= m_file.writeBool(kView, QStringLiteral("Bells"), f.bells);
    ok &= m_file.writeBool(kView, QStringLiteral("Groups"), f.groups);
    ok &= m_file.writeBool(kView, QStringLiteral("Info"), f.info);
    ok &= m_file.writeBool(kSettings, QStringLiteral("Grid"), o.grid);
    ok &= m_file.writeBool(kSettings, QStringLiteral("Stereo"), o.stereo);
    ok &= m_file.writeBool(kSettings, QStringLiteral("Animate"), o.animate);
    ok &= m_file.writeBool(kSettings, QStringLiteral("Notes"), o.notes);
    ok &= m_file.writeInteger(kSettings, QStringLiteral("View"), o.view);
    ok &= m_file.writeInteger(kSettings, QStringLiteral("Model"), o.model);
    if (!o.belfry.isEmpty() || m_file.hasKey(kSettings, QStringLiteral("Belfry"))) {
        ok &= m_file.writeString(kSettings, QStringLiteral("Belfry"), o.belfry);
    }
    return ok;
}

bool AppSettings::writeBounds(const QRect& b) {
    bool ok = true;
    ok &= m_file.writeInteger(kForm, QStringLiteral("Left"), b.left());
    ok &= m_file.writeInteger(kForm, QStringLiteral("Top"), b.top());
    ok &= m_file.writeInteger(kForm, QStringLiteral("Width"), b.width());
    ok &= m_file.writeInteger(kForm, QStringLiteral("Height"), b.height());
    return ok;
}

QSize boundedWindowSize(const QSize& stored) {
    return stored.expandedTo(kMinimumWindowSize);
}
