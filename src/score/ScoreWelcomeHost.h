#pragma once

// What the welcome's two buttons ask of the window.
class ScoreWelcomeHost {
public:
    virtual ~ScoreWelcomeHost() = default;
    // Every bell selected, a trezvon of the library loaded and playing.
    virtual void playTrezvonWithAllBells() = 0;
    // The lesson on working with the program, with its voice.
    virtual void openProgramLesson() = 0;
};
