#include "animation/AnimationWorkers.h"

#include "animation/AnimationHost.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"

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
    guarded(lcAnimation, "animation worker operation", m_operation);
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

TSetScrollThread::TSetScrollThread(AnimationHost& host)
    : AnimationWorker([&host] { host.PlaceScoreCursor(); }) {}

TSetBellPositionThread::TSetBellPositionThread(AnimationHost& host)
    : AnimationWorker([this, &host] {
          if (bell >= 0) {
              host.ShowStrikeFrame(bell);
          }
      }) {}

TBellImagePos::TBellImagePos(AnimationHost& host) : AnimationWorker([&host] { host.ResetBellImages(); }) {}

AnimationWorkers::AnimationWorkers(AnimationHost& host) {
    m_imagePos = new TBellImagePos(host);
    m_imagePos->startBelowNormal();
    m_bellPosition = new TSetBellPositionThread(host);
    m_bellPosition->startBelowNormal();
    m_scroll = new TSetScrollThread(host);
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
