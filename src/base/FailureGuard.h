#pragma once

#include <QLoggingCategory>

#include <functional>

// Runs one step (a handler, a start-up step, a drawing pass). An exception
// it throws is caught and logged as a warning in `category` with `step` and
// what failed; the caller carries on with the earlier state. This is the one
// place where failures are turned into a harmless return.
// Returns true when the step ran to its end.
bool guarded(const QLoggingCategory& category, const char* step, const std::function<void()>& work);
