#pragma once

#include <QLoggingCategory>

// One logging category per subsystem. Failures that the user is not told
// about are still logged here as warnings (stderr by default), so that a
// developer can see them; QT_LOGGING_RULES can silence or widen them.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcAudio)
Q_DECLARE_LOGGING_CATEGORY(lcUi)
Q_DECLARE_LOGGING_CATEGORY(lcInput)
Q_DECLARE_LOGGING_CATEGORY(lcBells)
Q_DECLARE_LOGGING_CATEGORY(lcRinging)
Q_DECLARE_LOGGING_CATEGORY(lcPlayback)
Q_DECLARE_LOGGING_CATEGORY(lcScore)
Q_DECLARE_LOGGING_CATEGORY(lcAnimation)
Q_DECLARE_LOGGING_CATEGORY(lcRecord)
Q_DECLARE_LOGGING_CATEGORY(lcPractice)
Q_DECLARE_LOGGING_CATEGORY(lcOutput)
Q_DECLARE_LOGGING_CATEGORY(lcLessons)
Q_DECLARE_LOGGING_CATEGORY(lcDesktop)
