#include "base/FailureGuard.h"

#include <exception>

bool guarded(LoggingCategory category, const char* step, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception& failure) {
        qCWarning(category, "%s failed: %s", step, failure.what());
    } catch (...) {
        qCWarning(category, "%s failed with an unknown exception", step);
    }
    return false;
}
