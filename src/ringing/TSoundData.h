#pragma once

#include "base/RequiredFileCheck.h"

#include <QString>
#include <QStringList>

#include <array>

// The catalogue of library ringings: the four list files of the Campanel
// folder, one ringing per line as "requirement;name;file" (further fields
// ignored), and the files of the ringings currently offered in each selector.
// Item 0 of cbCommon and of the group ringing selectors: no ringing chosen.
inline const QString kNoRingingItem = QStringLiteral("Выбор звона");

class TSoundData {
public:
    enum List : int { kSmallList = 0, kMiddleList = 1, kBigList = 2, kCommonList = 3 };
    static constexpr int kListCount = 4;

    // "small.kli", "middle.kli", "big.kli", "common.kli".
    static QString listFileName(int list);

    // Reads the four list files of campanelDir (ending in "/"), in the order
    // small, middle, big, common. A missing or unreadable file, or a line with
    // fewer than three fields (an empty line included), is reported to check
    // as a damaged required file naming that list file, and reading stops:
    // the program cannot go on without its catalogue.
    bool load(const QString& campanelDir, RequiredFileCheck& check);

    const QStringList& lines(int list) const { return m_lines.at(static_cast<size_t>(list)); }
    const QStringList& requirements(int list) const { return m_requirements.at(static_cast<size_t>(list)); }
    const QStringList& names(int list) const { return m_names.at(static_cast<size_t>(list)); }
    const QStringList& files(int list) const { return m_files.at(static_cast<size_t>(list)); }

    // The ringings a selector may show, in list order.
    struct Offer {
        QStringList names;
        QStringList files;
        // False when a requirement could not be read: the offer holds the
        // lines before it and the selector stays without its first item.
        bool complete = true;
    };

    // Common ringings whose three requirement digits (small, middle, big) the
    // group counts each reach. Filling stops at a requirement whose first
    // three characters are not all digits.
    Offer commonOffer(int smallCount, int middleCount, int bigCount) const;
    // Group ringings of list (small, middle or big) whose requirement, a
    // whole number of bells, the group's count reaches. A requirement that is
    // not a whole number offers nothing.
    Offer groupOffer(int list, int groupCount) const;

    // The files of the ringings shown in each selector, in the order of its
    // items after the first ("Выбор звона").
    QStringList& offered(int list) { return m_offered.at(static_cast<size_t>(list)); }
    const QStringList& offered(int list) const { return m_offered.at(static_cast<size_t>(list)); }

private:
    std::array<QStringList, kListCount> m_lines;
    std::array<QStringList, kListCount> m_requirements;
    std::array<QStringList, kListCount> m_names;
    std::array<QStringList, kListCount> m_files;
    std::array<QStringList, kListCount> m_offered;
    QStringList m_scratch;
};
