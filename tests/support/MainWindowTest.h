#pragma once

#include "animation/AnimationWorkers.h"
#include "app/TfrmMain.h"
#include "playback/audio/AudioEngine.h"
#include "support/TestProgram.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>

#include <functional>
#include <memory>

// A control of a window by its object name; fails the test when there is
// none of that name and type (the window's controls are private).
template <typename T = QWidget> T* control(const QObject& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}
template <typename T = QWidget> T* control(const std::unique_ptr<TfrmMain>& root, const char* name) {
    return control<T>(*root, name);
}

// Runs the events until `condition` holds or `ms` have passed; whether it holds.
inline bool waitFor(const std::function<bool()>& condition, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The real main window, offscreen, over a small program folder made by the
// test. Required-file messages are collected instead of shown; the current
// folder, which start-up changes, is put back after each test.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        m_cwd = QDir::currentPath();
    }
    void TearDown() override {
        frm.reset();
        QDir::setCurrent(m_cwd);
    }
    TfrmMain& startWith(const QStringList& arguments) {
        frm =
            std::make_unique<TfrmMain>([this](const QString& m) { reports << m; }, program.dir(), arguments);
        settle(*frm);
        return *frm;
    }

    // Waits, as the real program's first seconds do, until the sample set is
    // converted and the animation workers' hand-overs are served (a file named
    // on the command line is opened then).
    static void settle(TfrmMain& window) {
        if (audio::AudioEngine* engine = window.audioEngine()) {
            engine->samples().waitForPreload();
        }
        if (AnimationWorkers* workers = window.animationWorkers()) {
            const QDeadlineTimer deadline(10000);
            while (!(workers->imagePos().served() && workers->bellPosition().served() &&
                     workers->scroll().served()) &&
                   !deadline.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            }
            // The file named on the command line is opened on a worker's end,
            // which the thread posts after its hand-over was served: once the
            // threads are over, their ends are in the queue.
            for (AnimationWorker* worker : std::initializer_list<AnimationWorker*>{
                     &workers->imagePos(), &workers->bellPosition(), &workers->scroll()}) {
                worker->wait(deadline);
            }
        }
        QCoreApplication::processEvents();
    }

    TempProgram program;
    std::unique_ptr<TfrmMain> frm;
    QStringList reports;
    QString m_cwd;
};
