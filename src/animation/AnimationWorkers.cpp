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
        this, [this] { handOver(); }, Qt::BlockingQueuedConnection);
    m_served.store(true, std::memory_order_release);
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

void AnimationWorkers::whenServed(QObject* context, std::function<void()> then) {
    auto done = std::make_shared<bool>(false);
    auto check = [this, done, then = std::move(then)] {
        if (*done || !m_imagePos->served() || !m_bellPosition->served() || !m_scroll->served()) {
            return;
        }
        *done = true;
        then();
    };
    // Each worker's end is a chance; one look now covers those that ended already.
    for (AnimationWorker* worker :
         {static_cast<AnimationWorker*>(m_imagePos), static_cast<AnimationWorker*>(m_bellPosition),
          static_cast<AnimationWorker*>(m_scroll)}) {
        QObject::connect(worker, &QThread::finished, context, check, Qt::QueuedConnection);
    }
    QMetaObject::invokeMethod(context, check, Qt::QueuedConnection);
}

void AnimationWorkers::showStrikeFrame(int bell) {
    m_bellPosition->bell = bell;
    m_bellPosition->showStrikeFrame();
}
