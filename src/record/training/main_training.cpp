// The menu command of ring-along practice.

#include "app/TfrmMain.h"
#include "record/training/Trainer.h"

void TfrmMain::nTrainingClick() {
    if (!m_trainer) {
        m_trainer = new Trainer(*this);
    }
    m_trainer->nTrainingClick();
}
