// Loading ringings into the working set: forwards to the ringing loader.

#include "app/TfrmMain.h"
#include "ringing/RingingLoader.h"

void TfrmMain::nLoadSoundsClick() {
    m_ringingLoader->nLoadSoundsClick();
}
