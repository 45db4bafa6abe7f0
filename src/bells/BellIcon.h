#pragma once

#include <QIcon>

// The small bell shown beside bell names in the groups tree and the
// "add bell" menu (drawn on each call; callers keep it).
QIcon bellIcon();
