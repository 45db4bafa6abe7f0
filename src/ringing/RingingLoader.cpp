#include "ringing/RingingLoader.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/EnsembleSettings.h"
#include "ringing/RingingLoaderHost.h"
#include "ringing/RingingReader.h"
#include "ringing/TChannels.h"
#include "ringing/TfrmSelSound.h"

#include <QCheckBox>

namespace {

// How long the refusal of a ringing file stays in the status bar.
constexpr int kRefusalShownMs = 20000;

} // namespace

RingingLoader::RingingLoader(TChannels& channels, RingingLoaderHost& host, QObject* parent)
    : QObject(parent), m_channels(channels), m_host(host) {}

bool RingingLoader::applyRingingLoad(const RingingLoadResult& result) {
    if (!result.loaded) {
        return false;
    }
    m_host.setSequencerInterval(result.interval);
    // Groups whose header marks them as played in chords are not animated:
    // their frames give way to the chord pictures.
    m_host.animationRingingLoaded();
    m_host.showTempo();
    m_host.showTotalDuration();
    return true;
}

bool RingingLoader::LoadRinging(int index, const QString& path) {
    const RingingLoadResult result = m_channels.LoadRinging(index, path, m_host.sequencerInterval());
    if (result.refused) {
        return refuseRinging(path, *result.refused);
    }
    return applyRingingLoad(result);
}

bool RingingLoader::loadRingingLines(int index, const QStringList& bodyLines) {
    return applyRingingLoad(m_channels.loadRingingLines(index, bodyLines, m_host.sequencerInterval()));
}

bool RingingLoader::applyRingingDocument(const RingingDocument& document) {
    // The file's ensemble replaces the user's and becomes the stored one.
    // It is applied as the file gives it, not read back from the settings
    // file, so a settings file that cannot be written changes nothing here.
    m_host.deselectAllBells();
    if (!ensemble_settings::write(m_host.settingsFile(), {document.bells, document.types})) {
        qCWarning(lcRinging) << "the ringing's ensemble was not stored in the settings file";
    }
    // Applying it refills the choices and resets playback.
    m_host.applyEnsembleText(document.bells, document.types);
    // The body goes to the load in memory: nothing else reads it, and a
    // read-only installation loads it all the same.
    return loadRingingLines(TChannels::kCommonScore, document.body);
}

bool RingingLoader::refuseRinging(const QString& path, const RingingReadFailure& failure) {
    // Every refusal is told where the user chose the ringing, and logged.
    m_host.showStatusMessage(ringingFailureMessage(path, failure), kRefusalShownMs);
    qCWarning(lcRinging).noquote() << ringingFailureText(path, failure);
    return false;
}

bool RingingLoader::openUserRingingText(const QString& path) {
    const RingingRead read = readRingingDocument(path, RingingKind::User);
    if (!read) {
        return refuseRinging(path, read.failure);
    }
    m_host.showRingingName(read.document->name);
    return applyRingingDocument(*read.document);
}

bool RingingLoader::loadListRinging(const QStringList& fileLines) {
    const RingingRead read = ringingDocumentFromLines(fileLines, RingingKind::List);
    if (!read) {
        return refuseRinging(fileLines.value(2), read.failure);
    }
    const RingingDocument& document = *read.document;
    m_host.showRingingName(document.name);
    if (!applyRingingDocument(document)) {
        return false;
    }
    showWholeRingingPages();
    m_host.chooseOfferedRinging(document.name);
    return true;
}

bool RingingLoader::loadListRingingByName(const QString& name) {
    const QString path = m_host.customDir() + name + QStringLiteral(".kol");
    const RingingFileLines lines = readRingingFileLines(path);
    if (!lines) {
        return refuseRinging(path, lines.failure);
    }
    return loadListRinging(*lines.lines);
}

void RingingLoader::showWholeRingingPages() {
    m_host.applyWholeRingingRanges();
    if (m_host.notesShown()) {
        m_host.redrawScore();
    }
}

TfrmSelSound* RingingLoader::selSound() {
    if (!m_selSound) {
        m_selSound = new TfrmSelSound(m_host.dialogParent());
        m_selSound->setCustomDir(m_host.customDir());
        m_selSound->setLoader([this](const QStringList& fileLines) {
            bool loaded = false;
            guarded(lcRinging, "list ringing load", [&] { loaded = loadListRinging(fileLines); });
            return loaded;
        });
        m_selSound->setPlay(
            [this] { guarded(lcRinging, "play after the chooser", [this] { m_host.play(); }); });
    }
    return m_selSound;
}

bool RingingLoader::isPlayInTurnChecked() const {
    return m_selSound && m_selSound->cbRound->isChecked();
}

void RingingLoader::uncheckPlayInTurn() {
    if (m_selSound) {
        m_selSound->cbRound->setChecked(false);
    }
}

void RingingLoader::nLoadSoundsClick() {
    m_host.resetPlayback();
    m_host.showChooserOpen();
    m_host.clearChoices();
    TfrmSelSound* chooser = selSound();
    chooser->fillList(m_host.customDir() + QStringLiteral("list.kli"));
    chooser->cbRound->setChecked(false);
    chooser->execCentred();
}
