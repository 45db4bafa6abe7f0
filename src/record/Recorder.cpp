#include "record/Recorder.h"

#include "bells/KeyboardRinging.h"
#include "ringing/RingingFiles.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

void Recorder::open(int intervalMs) {
    m_state = State::Ready;
    m_recordedOnce = false;
    m_interval = std::max(1, intervalMs);
    m_start = 0;
    m_stoppedAt = 0;
    m_closed = 0;
    m_columns.clear();
}

void Recorder::start(std::int64_t now) {
    m_state = State::Recording;
    m_recordedOnce = true;
    m_start = now;
    m_stoppedAt = now;
    m_closed = 0;
    m_columns.clear();
}

void Recorder::stop(std::int64_t now) {
    if (m_state != State::Recording) {
        return;
    }
    closeDuePeriods(now);
    m_columns.resize(m_closed);
    m_stoppedAt = std::max(now, m_start);
    m_state = State::Stopped;
}

int Recorder::closeDuePeriods(std::int64_t now) {
    if (m_state != State::Recording || now < m_start) {
        return 0;
    }
    const std::int64_t due = (now - m_start) / m_interval;
    if (due <= m_closed) {
        return 0;
    }
    const int closedBefore = m_closed;
    m_closed = static_cast<int>(std::min<std::int64_t>(due, std::numeric_limits<int>::max()));
    if (m_columns.size() < m_closed) {
        m_columns.resize(m_closed);
    }
    return m_closed - closedBefore;
}

Recorder::Capture Recorder::capture(const Ensemble& ensemble, int bell, std::int64_t strikeTime) {
    if (m_state != State::Recording) {
        return Capture::NotRecording;
    }
    const QString token = KeyboardRinging::strikeToken(ensemble, bell);
    if (token.isEmpty()) {
        return Capture::NoGroup;
    }
    if (token.size() > 2) {
        return Capture::PositionTooHigh;
    }
    // A key pressed before Start was handled before Start; one handled after
    // it but stamped a little earlier still belongs to the first column.
    const std::int64_t column = strikeTime <= m_start ? 0 : (strikeTime - m_start) / m_interval;
    const int index = static_cast<int>(std::min<std::int64_t>(column, std::numeric_limits<int>::max() - 1));
    if (m_columns.size() <= index) {
        m_columns.resize(index + 1);
    }
    m_columns[index] = KeyboardRinging::appendToColumn(m_columns.at(index), token);
    return Capture::Recorded;
}

std::int64_t Recorder::nextPeriodEnd() const {
    return m_start + static_cast<std::int64_t>(m_closed + 1) * m_interval;
}

int Recorder::elapsedSeconds(std::int64_t now) const {
    switch (m_state) {
    case State::Ready:
        return 0;
    case State::Recording:
        return now <= m_start ? 0 : static_cast<int>((now - m_start) / 1000);
    case State::Stopped:
        return static_cast<int>((m_stoppedAt - m_start) / 1000);
    }
    return 0;
}

std::int64_t Recorder::nextSecond(std::int64_t now) const {
    return m_start + (static_cast<std::int64_t>(elapsedSeconds(now)) + 1) * 1000;
}

QStringList Recorder::body() const {
    QStringList body{QString::number(m_interval)};
    body += lines();
    return body;
}

std::optional<int> groupTooLargeToRecord(const Ensemble& ensemble) {
    for (int group : {kSmallGroup, kMiddleGroup, kBigGroup}) {
        if (ensemble.groupCount(group) >= 10) {
            return group;
        }
    }
    return std::nullopt;
}

QString formatRecordingTime(int seconds) {
    seconds = std::max(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

SaveTarget saveTargetFor(const QString& fileNameField) {
    SaveTarget target;
    target.path = userRingingPath(fileNameField);
    const qsizetype slash = target.path.lastIndexOf(u'/');
    if (slash < 0) {
        return target;
    }
    const QString folder = slash == 0 ? QStringLiteral("/") : target.path.left(slash);
    target.folderExists = QFileInfo(folder).isDir();
    return target;
}
