#pragma once

class QMenu;
class TfrmMain;

// «Колокола > Своя звонница ...»: the item that opens the belfry dialog over
// the window's model row list and sound.
void addBelfryMenuItem(TfrmMain& window, QMenu& bellsMenu);
