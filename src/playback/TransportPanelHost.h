#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class SoundOutput;

// What the transport panel needs of the rest of the program beyond its own
// controls: the sound output, the working set, the score view and animation,
// the chooser, the group ringing selectors and the export mode. The main
// window answers it.
class TransportPanelHost {
public:
    virtual ~TransportPanelHost() = default;

    // The engine with its voices; null before start-up made it and after shutdown.
    virtual SoundOutput* soundOutput() = 0;

    // Started with "html": Play exports the library's scores instead.
    virtual bool exportMode() const = 0;
    virtual void exportHtml() = 0;

    // Working set and voices.
    virtual int commonScoreSize() const = 0;
    virtual void clearScores() = 0;
    // Sounds one column on its frame (handed ahead of time), and shows it
    // once the output has reached it.
    virtual void soundColumn(int column, std::int64_t idealFrame) = 0;
    virtual void strikeColumn(int column, std::int64_t idealFrame) = 0;
    // The sample files Play waits for: those of the selected bells.
    virtual QStringList samplesForPlay() const = 0;
    virtual void showStatusMessage(const QString& text) = 0;

    // Score and animation.
    virtual bool notesShown() const = 0;
    virtual void redrawScore() = 0;
    virtual void placeScoreCursor() = 0;
    virtual void resetScoreView() = 0;
    virtual void resetAnimation() = 0;

    // The chooser's play-all-in-turn.
    virtual bool playAllInTurn() const = 0;
    virtual void uncheckPlayAllInTurn() = 0;
    virtual void selectNextInTurn() = 0;
    // The name of the chooser's highlighted list ringing ("" none).
    virtual QString highlightedRinging() = 0;
    // Loads a list ringing by name with its ensemble; false when it did not load.
    virtual bool loadListRinging(const QString& name) = 0;

    // The group ringing selectors, for the generator.
    virtual int selectedBellCount() const = 0;
    virtual int groupItemCount(int group) const = 0;
    virtual int groupItemIndex(int group) const = 0;
    virtual void chooseGroupRinging(int group, int index) = 0;
};
