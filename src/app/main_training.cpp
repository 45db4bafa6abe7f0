// The menu command of ring-along practice.

#include "app/TfrmMain.h"
#include "practice/Trainer.h"

Trainer& TfrmMain::trainer() {
    if (!m_trainer) {
        m_trainer = new Trainer(*this);
    }
    return *m_trainer;
}

void TfrmMain::nTrainingClick() {
    trainer().nTrainingClick();
}
