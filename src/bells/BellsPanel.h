#pragma once

#include "bells/Ensemble.h"
#include "bells/belfry/BelfryRow.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class BellsHost;
class BellStrip;
class KeyboardRingingHook;
class MidiRinging;
class QCheckBox;
class QComboBox;
class QFrame;
class QPlainTextEdit;
class QWidget;
class TBellData;
class TImage;

// The bells of the main window: the bell catalogue, the selected ensemble
// with its place in the settings file, the bell strip with the marker of the
// current bell, and the information panel (picture and caption of the current
// bell, the model row and stereo choice, the count of selected bells).
// Keyboard ringing, which acts on the same bells, is its KeyboardRingingHook.
class BellsPanel : public QObject {
public:
    struct Controls {
        QWidget* window = nullptr;         // the main window (keys, group selectors)
        QFrame* strip = nullptr;           // pnlBells
        TImage* marker = nullptr;          // imgHot
        TImage* preview = nullptr;         // imgPreview
        QPlainTextEdit* caption = nullptr; // mBellInfo
        QPlainTextEdit* count = nullptr;   // mBellsInfo
        QComboBox* modelRow = nullptr;     // cbModelRow
        QCheckBox* stereo = nullptr;       // cbStereo
    };

    BellsPanel(const Controls& controls, BellsHost& host, QObject* parent = nullptr);
    ~BellsPanel() override;

    // Start-up, layout and shutdown.
    void loadBellCatalogue();
    void resetBellState(); // bell 0 current, keyboard ringing on
    void createBellStrip();
    void clearEnsemble();
    void layoutBellStrip();
    // The strikes still on their way are waited for, the strip is gone.
    void releaseBells();

    // The bell catalogue: field 2 (sample file) and field 1 (display name)
    // of a bell, and the bell of a display name (-1: none, or no catalogue).
    QString bellSampleFileName(int bell) const;
    QString bellDisplayName(int bell) const;
    int findBellByName(const QString& name) const;
    // Nullptr until the catalogue was loaded.
    const TBellData* bellData() const { return m_bellData.get(); }

    Ensemble& ensemble() { return m_ensemble; }
    const Ensemble& ensemble() const { return m_ensemble; }
    int currentBell() const { return m_currentBell; }
    // Moves the current bell and its marker (out of range: nothing).
    void setCurrentBell(int bell);
    BellStrip* bellStrip() const { return m_bellStrip; }
    KeyboardRingingHook& keyboard() { return *m_keyboard; }
    // Ringing from a MIDI instrument (created on first use).
    MidiRinging& midi();
    BellsHost& host() { return m_host; }

    // While a picker is set (MIDI learning), a click on a bell of the strip
    // or a press of a bell's key picks that bell instead of toggling or
    // striking it, when the picker takes it (returns true).
    void setBellPicker(std::function<bool(int)> picker) { m_bellPicker = std::move(picker); }
    bool pickBell(int bell) { return m_bellPicker && m_bellPicker(bell); }

    // The user's belfries, after the three synthesized rows of the model
    // row list; the one chosen stays chosen when it is still there.
    void refreshBelfries();
    // Chooses the belfry of that name (false: there is none).
    bool selectBelfry(const QString& name);
    // The belfry chosen as the model row; nullptr while a synthesized row is.
    const BelfryRow* belfryRow() const { return m_belfryRow ? &*m_belfryRow : nullptr; }
    // Whether a place can be selected: every place of a synthesized row,
    // only those with a bell of a belfry.
    bool hasBell(int bell) const { return !m_belfryRow || m_belfryRow->hasBell(bell); }

    // Handlers.
    void cbModelRowChange();
    void cbStereoClick();
    void imgPreviewClick();
    void bellStripClick(int bell);
    void nSelectAllClick();
    void nDisselectAllClick();
    // Selects or unselects one bell, recomputes the groups, and strikes the
    // bell when it is now selected.
    void ToggleBell(int bell);
    // Sounds the current bell (gain: see BellsHost::handStrike).
    void strikeCurrentBell(float gain = 1.0f);

    void ShowBellInfo();  // picture and caption of the current bell
    void ShowBellCount(); // "Всего колоколов: "
    // The strip's picture of a bell, selected or not.
    void loadBellPicture(int bell);

    // The ensemble in the settings file.
    void RestoreEnsembleFromSettings();
    // Applies an ensemble in its text form (Bells, Types): pictures, groups
    // as given, count label.
    void applyEnsembleText(const QString& bells, const QString& types);
    void SaveEnsembleToSettings();

private:
    QString catalogueField(int field, int bell) const;
    // The catalogue bell whose pictures show a place: itself, or for a
    // belfry's bell the catalogue bell nearest its size.
    int pictureBell(int bell) const;
    void afterSelectionChange();

    Controls m_controls;
    BellsHost& m_host;
    Ensemble m_ensemble;
    std::unique_ptr<TBellData> m_bellData;
    int m_currentBell = 0;
    BellStrip* m_bellStrip = nullptr;
    KeyboardRingingHook* m_keyboard = nullptr;
    MidiRinging* m_midi = nullptr;
    std::function<bool(int)> m_bellPicker;
    std::optional<BelfryRow> m_belfryRow;
};
