#pragma once

// Where playback stands, shared by the transport, the ringing choices and the
// generator (the choices keep their own memory of the last common choice). Plain data: the rules that change
// it live with the sequencer.
struct TransportState {
    // Index in the common score of the column last struck. It may stand at -1
    // (after a page change) and is then advanced before use.
    int currentColumn = 0;
    // pageOfColumn(currentColumn): the page the cursor stands on.
    int currentPage = 0;
    // Set by a group ringing choice, cleared by a common ringing choice: the
    // ringing then loops instead of stopping.
    bool groupRingingMode = false;
    // The random generator drives playback.
    bool generatorMode = false;
    // One-shot: the next reset of playback leaves generator mode on.
    bool keepGenerator = false;
    // A range of columns played instead of the whole ringing (the editor's
    // selection): playback ends after rangeLast, or goes on at rangeFirst
    // when rangeLoops. rangeLast -1: no range. Stop, Play while playing and
    // a reset end it.
    int rangeFirst = -1;
    int rangeLast = -1;
    bool rangeLoops = false;
    // Milliseconds per column (the tempo); the sequencer changes it.
    int interval = 144;
};
