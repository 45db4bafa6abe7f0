// Loading ringings into the working set from the main window: library
// ringings, list ringings with their ensembles, opened user ringing files,
// and the chooser of list ringings.

#include "app/TfrmMain.h"
#include "base/WindowCaptions.h"
#include "base/TextCodec.h"
#include "bells/BellsPanel.h"
#include "bells/EnsembleSettings.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingChoices.h"
#include "ringing/RingingText.h"
#include "ringing/RingingReader.h"
#include "ringing/TfrmSelSound.h"
#include "animation/BellAnimation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QStatusBar>

namespace {

// How long the refusal of a ringing file stays in the status bar.
constexpr int kRefusalShownMs = 20000;

} // namespace

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
    m_transportPanel->ShowTotalDuration();
    return true;
}

bool TfrmMain::LoadRinging(int index, const QString& path) {
    const RingingLoadResult result = m_channels->LoadRinging(index, path, sequencerInterval());
    if (result.refused) {
        return refuseRinging(path, *result.refused);
    }
    return applyRingingLoad(result);
}

bool TfrmMain::loadRingingLines(int index, const QStringList& bodyLines) {
    return applyRingingLoad(m_channels->loadRingingLines(index, bodyLines, sequencerInterval()));
}

bool TfrmMain::applyRingingDocument(const RingingDocument& document) {
    // The file's ensemble replaces the user's and becomes the stored one.
    // It is applied as the file gives it, not read back from the settings
    // file, so a settings file that cannot be written changes nothing here.
    nDisselectAllClick();
    ensemble_settings::write(*m_settingsFile, {document.bells, document.types});
    // Applying it refills the choices and resets playback.
    m_bellsPanel->applyEnsembleText(document.bells, document.types);
    // The body goes to the load in memory: nothing else reads it, and a
    // read-only installation loads it all the same.
    return loadRingingLines(TChannels::kCommonScore, document.body);
}

bool TfrmMain::refuseRinging(const QString& path, const RingingReadFailure& failure) {
    // A file beyond the limits is worth a word; any other failure stays
    // silent and changes nothing, as every load does.
    if (failure.reason == RingingReadFailure::TooLarge ||
        failure.reason == RingingReadFailure::TooManyColumns) {
        statusBar()->showMessage(ringingFailureMessage(path, failure), kRefusalShownMs);
    }
    return false;
}

bool TfrmMain::openUserRingingText(const QString& path) {
    const RingingRead read = readRingingDocument(path, RingingKind::User);
    if (!read) {
        return refuseRinging(path, read.failure);
    }
    setCaptionForRinging(read.document->name);
    return applyRingingDocument(*read.document);
}

bool TfrmMain::loadListRinging(const QStringList& fileLines) {
    const RingingRead read = ringingDocumentFromLines(fileLines, RingingKind::List);
    if (!read) {
        return refuseRinging(fileLines.value(2), read.failure);
    }
    const RingingDocument& document = *read.document;
    setCaptionForRinging(document.name);
    if (!applyRingingDocument(document)) {
        return false;
    }
    showWholeRingingPages();
    const int offered = cbCommon->findText(document.name);
    if (offered > 0) {
        cbCommon->setCurrentIndex(offered);
    }
    return true;
}

bool TfrmMain::loadListRingingByName(const QString& name) {
    const QString path = m_paths->customDir() + name + QStringLiteral(".kol");
    const RingingFileLines lines = readRingingFileLines(path);
    if (!lines) {
        return refuseRinging(path, lines.failure);
    }
    return loadListRinging(*lines.lines);
}

void TfrmMain::showWholeRingingPages() {
    m_transportPanel->applyRingingRanges(transport::RingingLoader::Chooser);
    if (cbShowNotes->isChecked()) {
        RedrawScore();
    }
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
    m_transportPanel->ResetPlayback();
    m_ringingName.clear();
    setWindowTitle(captions::kChooserOpen);
    m_ringingChoices->ClearChoices();
    TfrmSelSound* chooser = selSound();
    chooser->fillList(m_paths->customDir() + QStringLiteral("list.kli"));
    chooser->cbRound->setChecked(false);
    chooser->execCentred();
}
