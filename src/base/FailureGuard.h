#pragma once

#include <QLoggingCategory>

#include <functional>

// Runs one step (a handler, a start-up step, a drawing pass). An exception
// it throws is caught and logged as a warning in `category` with `step` and
// what failed; the caller carries on with the earlier state. This is the one
// place where failures are turned into a harmless return.
// Returns true when the step ran to its end.
// `category` is one of base/Logging.h's categories (lcApp, lcScore, ...).
using LoggingCategory = const QLoggingCategory& (*)();
bool guarded(LoggingCategory category, const char* step, const std::function<void()>& work);
