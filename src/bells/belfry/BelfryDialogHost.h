#pragma once

#include <QString>

// What the belfry dialog needs of the program: where the belfries are, a
// sample sounded at once, and the model row list told of a change.
class BelfryDialogHost {
public:
    virtual ~BelfryDialogHost() = default;

    virtual QString belfriesDir() const = 0;
    // Sounds a sample file now, as a hand strike does.
    virtual void playSample(const QString& path) = 0;
    // A belfry was imported, changed or removed: the model row list follows,
    // and a changed belfry that is the model row sounds as it is now.
    virtual void belfriesChanged() = 0;
};
