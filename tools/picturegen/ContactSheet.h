#pragma once

#include <QImage>
#include <QStringList>

// One picture showing everything the generator draws, for looking at the
// set as a whole: the bell pictures selected and not, every frame of both
// views and styles, the caption pictures and the window pictures.
namespace contactsheet {

QImage render(const QStringList& catalogueLines);

} // namespace contactsheet
