// Loading ringings into the working set from the main window: library
// ringings, list ringings with their ensembles, opened user ringing files,
// and the chooser of list ringings.

#include "app/TfrmMain.h"
#include "app/WindowCaptions.h"
#include "base/TextCodec.h"
#include "bells/EnsembleSettings.h"
#include "ringing/RingingText.h"
#include "ringing/TfrmSelSound.h"
#include "score/BellAnimation.h"

#include <QCheckBox>
#include <QComboBox>

bool TfrmMain::applyRingingLoad(const RingingLoadResult& result) {
    if (!result.loaded) {
        return false;
    }
    setSequencerInterval(result.interval);
    // Groups whose header marks them as played in chords are not animated:
    // their frames give way to the chord pictures.
    if (m_bellAnimation) {
        m_bellAnimation->ringingLoaded();
    }
    ShowTempo();
    ShowTotalDuration();
    return true;
}

bool TfrmMain::LoadRinging(int index, const QString& path) {
    return applyRingingLoad(m_channels->LoadRinging(index, path, sequencerInterval()));
}

bool TfrmMain::loadRingingLines(int index, const QStringList& bodyLines) {
    return applyRingingLoad(m_channels->loadRingingLines(index, bodyLines, sequencerInterval()));
}

bool TfrmMain::applyRingingDocument(const RingingDocument& document, bool decodeBody) {
    // The file's ensemble replaces the user's and becomes the stored one.
    // It is applied as the file gives it, not read back from the settings
    // file, so a settings file that cannot be written changes nothing here.
    nDisselectAllClick();
    ensemble_settings::write(*m_settingsFile, {document.bells, document.types});
    QStringList body = document.body;
    if (decodeBody) {
        // An opened user ringing file is decoded here and once more by the
        // load, as a list ringing is only by the load.
        DecodeRingingText(body);
    }
    // Applying it refills the choices and resets playback.
    applyEnsembleText(document.bells, document.types);
    // The body goes to the load in memory: nothing else reads it, and a
    // read-only installation loads it all the same.
    return loadRingingLines(TChannels::kCommonScore, body);
}

bool TfrmMain::openUserRingingText(const QString& path) {
    const std::optional<QStringList> lines = readTextLines(path);
    if (!lines) {
        return false;
    }
    const std::optional<RingingDocument> document = parseRingingDocument(*lines, kUserRingingPreambleLines);
    if (!document) {
        return false;
    }
    setCaptionForRinging(document->name);
    return applyRingingDocument(*document, true);
}

bool TfrmMain::loadListRinging(const QStringList& fileLines) {
    const std::optional<RingingDocument> document =
        parseRingingDocument(fileLines, kListRingingPreambleLines);
    if (!document) {
        return false;
    }
    setCaptionForRinging(document->name);
    if (!applyRingingDocument(*document, false)) {
        return false;
    }
    showWholeRingingPages();
    const int offered = cbCommon->findText(document->name);
    if (offered > 0) {
        cbCommon->setCurrentIndex(offered);
    }
    return true;
}

bool TfrmMain::loadListRingingByName(const QString& name) {
    const std::optional<QStringList> lines =
        readTextLines(m_paths->customDir() + name + QStringLiteral(".kol"));
    return lines && loadListRinging(*lines);
}

void TfrmMain::showWholeRingingPages() {
    const int columns = commonScoreSize();
    setPageSelector(columns / 64 + 1);
    if (cbShowNotes->isChecked()) {
        RedrawScore();
    }
    tbProgress->setMaximum(columns);
}

TfrmSelSound* TfrmMain::selSound() {
    if (!m_selSound) {
        m_selSound = new TfrmSelSound(this);
        m_selSound->setCustomDir(m_paths->customDir());
        m_selSound->setLoader([this](const QStringList& fileLines) {
            bool loaded = false;
            guarded([&] { loaded = loadListRinging(fileLines); });
            return loaded;
        });
        m_selSound->setPlay([this] { guarded([this] { btnPlayClick(); }); });
    }
    return m_selSound;
}

bool TfrmMain::isPlayInTurnChecked() const {
    return m_selSound && m_selSound->cbRound->isChecked();
}

void TfrmMain::uncheckPlayInTurn() {
    if (m_selSound) {
        m_selSound->cbRound->setChecked(false);
    }
}

void TfrmMain::nLoadSoundsClick() {
    ResetPlayback();
    setWindowTitle(captions::kChooserOpen);
    ClearChoices();
    TfrmSelSound* chooser = selSound();
    chooser->fillList(m_paths->customDir() + QStringLiteral("list.kli"));
    chooser->cbRound->setChecked(false);
    chooser->execCentred();
}
