#pragma once

// Where playback stands, shared by the transport, the ringing choices and the
// generator. Plain data: the rules that change it live with the sequencer.
struct TransportState {
    // Index in the common score of the column last struck. It may stand at -1
    // (after a page change) and is then advanced before use.
    int currentColumn = 0;
    // Floor(currentColumn / 64); a page is 64 columns.
    int currentPage = 0;
    // Set by a group ringing choice, cleared by a common ringing choice: the
    // ringing then loops instead of stopping.
    bool groupRingingMode = false;
    // The random generator drives playback.
    bool generatorMode = false;
    // One-shot: the next reset of playback leaves generator mode on.
    bool keepGenerator = false;
    // The common ringing chosen last (-1 none) and the column it stood at, so
    // that choosing the same ringing again keeps the place.
    int rememberedChoice = -1;
    int rememberedColumn = 0;
};
