#include "animation/AnimationWorkers.h"

#include "app/TfrmMain.h"

#include <QCoreApplication>

AnimationWorker::AnimationWorker(std::function<void()> operation) : m_operation(std::move(operation)) {}

AnimationWorker::~AnimationWorker() {
    requestInterruption();
    // A hand-over waiting in the main thread's queue is withdrawn: dropping
    // the queued call releases the worker's wait.
    while (!wait(QDeadlineTimer(10))) {
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    }
}

void AnimationWorker::startBelowNormal() {
    start(QThread::LowPriority);
}

void AnimationWorker::perform() {
    ++m_performed;
    TfrmMain::guarded(m_operation);
}

void AnimationWorker::run() {
    if (isInterruptionRequested()) {
        return;
    }
    // This object lives in the main thread: the call runs there, and this
    // thread waits for it.
    QMetaObject::invokeMethod(
        this, [this] { perform(); }, Qt::BlockingQueuedConnection);
}

TSetScrollThread::TSetScrollThread(TfrmMain& window)
    : AnimationWorker([&window] { window.PlaceScoreCursor(); }) {}

TSetBellPositionThread::TSetBellPositionThread(TfrmMain& window)
    : AnimationWorker([this, &window] {
          if (bell >= 0) {
              window.ShowStrikeFrame(bell);
          }
      }) {}

TBellImagePos::TBellImagePos(TfrmMain& window) : AnimationWorker([&window] { window.ResetBellImages(); }) {}

AnimationWorkers::AnimationWorkers(TfrmMain& window) {
    m_imagePos = new TBellImagePos(window);
    m_imagePos->startBelowNormal();
    m_bellPosition = new TSetBellPositionThread(window);
    m_bellPosition->startBelowNormal();
    m_scroll = new TSetScrollThread(window);
    m_scroll->startBelowNormal();
}

AnimationWorkers::~AnimationWorkers() {
    delete m_scroll;
    delete m_bellPosition;
    delete m_imagePos;
}

void AnimationWorkers::showStrikeFrame(int bell) {
    m_bellPosition->bell = bell;
    m_bellPosition->showStrikeFrame();
}
