#pragma once

#include <QSize>
#include <QString>

#include <array>
#include <vector>

// The player of an exported score page: play/pause, the time, a cursor over
// the score pictures at the sounding column, page turns that follow the
// sound, a click on a column to play from there, Space to play or pause.
// Plain inline script and markup, written into the page's footer block; it
// needs no other file than the ringing's sound beside the page, so the site
// works from a folder (file://) as from any static server.
namespace htmlplayer {

// The sound file written into every ringing's folder.
inline const QString kSoundFile = QStringLiteral("sound.mp3");

// Where the window draws the cursor bar of a column: left edge and width in
// the pixels of the score pictures.
struct CursorPlace {
    int x = 0;
    int width = 0;
    bool operator==(const CursorPlace&) const = default;
};

// The cursor's places over score page `page` (from 1) of a ringing of
// `columns` columns, one per column the page shows, the staves being
// `smallStaff` big (every bar follows the small staff's width, as in the
// window).
std::vector<CursorPlace> pageCursorPlaces(int page, int columns, QSize smallStaff);

struct PlayerPage {
    int page = 0; // from 1
    std::vector<CursorPlace> places;
};

struct Player {
    // The sound beside the page; empty when the ringing has none, and then
    // `note` says why.
    QString sound;
    QString note;
    int intervalMs = 144;
    int columns = 0;
    int page = 1; // the left score page of the HTML page
    // Top and height of the cursor bar over each group's picture.
    std::array<std::array<int, 2>, 3> bars{};
    // The score pages shown (one or two).
    std::vector<PlayerPage> pages;
};

// Top and height of the bar over a group picture of height `staffHeight`.
std::array<int, 2> cursorBar(int staffHeight);

// The lines that go before the footer block's closing "</div>", joined by
// CR LF and ending with one.
QString playerBlock(const Player& player);

// The data line of the block ("var cx = {...};"), as tests read it back.
QString dataLine(const Player& player);

} // namespace htmlplayer
