#pragma once

#include <QString>

class Ensemble;

// What the groups panel needs of the rest of the program: the ensemble it
// edits, the bell catalogue's names, the bell strip and the count label, and
// the ringing choices and playback that follow every change of the groups.
// The main window answers it.
class GroupsHost {
public:
    virtual ~GroupsHost() = default;

    virtual Ensemble& ensemble() = 0;

    // Bell catalogue: the display name of a bell, and the bell of a display
    // name (-1 when there is none or no catalogue was loaded).
    virtual QString bellDisplayName(int bell) const = 0;
    virtual int findBellByName(const QString& name) const = 0;

    // Sounds one bell at once, as a click on its picture does.
    virtual void handStrike(int bell) = 0;
    // Selects or unselects one bell as the bell strip does (groups recomputed).
    virtual void toggleBell(int bell) = 0;
    // The bell strip's picture of a bell, selected or not.
    virtual void showBellPicture(int bell) = 0;
    // The count label of the selected bells.
    virtual void showBellCount() = 0;

    // The groups changed: refill the ringing choices, then reset playback.
    virtual void groupsChanged() = 0;
    virtual void resetPlayback() = 0;

    // Asked before the ringing loaded now is replaced (the score editor's
    // unsaved changes); false: the user keeps it, and nothing changes.
    virtual bool mayReplaceRinging() { return true; }
};
