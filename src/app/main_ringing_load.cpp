// Loading ringings into the working set: forwards to the ringing loader.

#include "app/TfrmMain.h"
#include "record/ScoreEditor.h"
#include "ringing/RingingLoader.h"

void TfrmMain::nLoadSoundsClick() {
    if (!mayReplaceRinging()) {
        return;
    }
    m_ringingLoader->nLoadSoundsClick();
}
