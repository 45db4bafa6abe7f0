// The menu command of ring-along practice.

#include "app/MainPracticeHost.h"
#include "app/TfrmMain.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "practice/Trainer.h"
#include "ui/TUpDown.h"

Trainer& TfrmMain::trainer() {
    if (!m_trainer) {
        m_practiceHost = std::make_unique<MainPracticeHost>(*this);
        m_trainer = new Trainer(*m_practiceHost, this);
        // Connected after the window's own handlers, so the trainer hears of
        // Play and Stop once the transport has acted on them.
        Trainer* trainer = m_trainer;
        auto played = [trainer] { trainer->playCommanded(); };
        auto stopped = [trainer] { trainer->stopCommanded(); };
        if (btnPlay) {
            connect(btnPlay, &QAbstractButton::clicked, trainer, played);
        }
        if (nPlay) {
            connect(nPlay, &QAction::triggered, trainer, played);
        }
        if (btnStop) {
            connect(btnStop, &QAbstractButton::clicked, trainer, stopped);
        }
        if (nStop) {
            connect(nStop, &QAction::triggered, trainer, stopped);
        }
        // A run heard again cannot wait paused: Pause ends it as Stop does.
        if (btnPause) {
            connect(btnPause, &QAbstractButton::clicked, trainer, stopped);
        }
        if (nPause) {
            connect(nPause, &QAction::triggered, trainer, stopped);
        }
        // The marks of a run stay on the score after it: they follow the page
        // shown and the grid the notes are drawn on.
        auto marks = [trainer] {
            ::guarded(lcPractice, "training marks", [trainer] { trainer->refreshMarks(); });
        };
        if (udPage) {
            connect(udPage, &TUpDown::positionChanged, trainer, marks);
        }
        if (cbGrid) {
            connect(cbGrid, &QCheckBox::toggled, trainer, marks);
        }
    }
    return *m_trainer;
}

void TfrmMain::nTrainingClick() {
    trainer().nTrainingClick();
}
