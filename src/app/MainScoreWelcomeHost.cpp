#include "app/MainScoreWelcomeHost.h"

#include "app/TfrmMain.h"
#include "base/Logging.h"
#include "score/ScoreWelcome.h"

#include <QComboBox>

void MainScoreWelcomeHost::playTrezvonWithAllBells() {
    m_window.nSelectAllClick();
    if (!m_common) {
        return;
    }
    // The list as select all refilled it: what the full ensemble can play.
    QStringList items;
    for (int i = 0; i < m_common->count(); ++i) {
        items << m_common->itemText(i);
    }
    const int index = scorewelcome::ringingToPlay(items);
    if (index < 0) {
        qCWarning(lcApp) << "no ringing of the library is offered for all bells";
        return;
    }
    if (!scorewelcome::isTrezvon(items.at(index))) {
        qCWarning(lcApp) << "no trezvon is offered for all bells; playing" << items.at(index);
    }
    // As the user's own choice in the list does it.
    m_common->setCurrentIndex(index);
    m_window.cbCommonChange();
    if (m_window.commonScoreSize() > 0) {
        m_window.btnPlayClick();
    }
}

void MainScoreWelcomeHost::openProgramLesson() {
    m_window.nManualClick();
}
