#pragma once

#include "base/ProfileFile.h"

#include <QRect>
#include <QSize>
#include <QStringList>

#include <optional>

// Which panels of the main window are shown ([View]).
struct ViewFlags {
    bool tools = true;
    bool bells = true;
    bool info = true;
    bool groups = true;
};

// The view options kept in [Settings]; they live in check and combo boxes
// while the program runs.
struct ViewOptions {
    bool grid = false;
    bool stereo = true;
    bool animate = true;
    bool notes = true;
    int view = 0;
    int model = 0;
    QString belfry; // the user's belfry chosen instead of the model row; empty: none
};

// The parts of campanix.ini that start-up has read and applied. Closing
// writes back only these: a start-up that ended early must not replace the
// user's settings with the controls' defaults.
struct AppliedSettings {
    bool view = false;     // [View] and [Settings]
    bool bounds = false;   // [Form]
    bool ensemble = false; // [Serial]
    bool volume = false;   // [Audio]
};

// The device level 0..255 when no volume is stored: full.
inline constexpr int kFullVolume = 255;

// The smallest size the main window may have.
inline constexpr QSize kMinimumWindowSize{778, 574};

// The sections and keys of campanix.ini, with their defaults.
class AppSettings {
public:
    explicit AppSettings(ProfileFile& file) : m_file(file) {}

    // The exact lines of the file written at first start; W and H are the
    // screen's work area.
    static QStringList defaultFileLines(const QSize& workArea);
    // Writes the default file when none exists. False when it had to be
    // written and could not be.
    bool writeDefaultFileIfMissing(const QSize& workArea);

    ViewFlags readViewFlags() const;
    // Read in the order Grid, View, Stereo, Notes, Animate, Model.
    ViewOptions readViewOptions() const;
    // Left, top, width, height as stored, with the defaults of a missing key.
    // Values far beyond any screen are cut to +-1048576 (a width or height
    // to 0..1048576), so arithmetic on the bounds cannot overflow.
    QRect readBounds() const;
    // The device level 0..255 kept in [Audio] Volume (the program's own
    // section); nothing when the key is missing.
    std::optional<int> readVolume() const;

    bool writeViewFlagsAndOptions(const ViewFlags& flags, const ViewOptions& options);
    bool writeBounds(const QRect& bounds);
    bool writeVolume(int level);

    ProfileFile& file() { return m_file; }

private:
    ProfileFile& m_file;
};

// A stored size raised to the window's minimum.
QSize boundedWindowSize(const QSize& stored);
