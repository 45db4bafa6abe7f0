#pragma once

#include "ringing/RingingFiles.h"

#include <QString>
#include <QStringList>

class Ensemble;

// Saving a ringing written in the editor. A user ringing file goes where the
// user says (".ukl"); a list ringing goes to the list ringings' folder as
// "<name>.kol" with its name added to the folder's list, so the chooser
// offers it. Every file is written whole or not at all.

// The file of list ringing `name` in `customDir` (ending in '/'), or nothing
// when the name cannot be a file name there (empty, a path, a line break).
std::optional<QString> listRingingPath(const QString& customDir, const QString& name);

// Writes `customDir`/<name>.kol (Bells, Types, name, description, the
// encoded body), then adds the name to `customDir`/list.kli unless it is
// there already.
RingingWriteResult writeListRinging(const QString& customDir, const Ensemble& ensemble, const QString& name,
                                    const QString& description, const QStringList& body);
