#include "ringing/TSoundData.h"

#include "base/Numbers.h"
#include "base/TextCodec.h"
#include "base/TextLists.h"
#include "ringing/RingingReader.h"

#include <QFileInfo>

QString TSoundData::listFileName(int list) {
    static const std::array<QString, kListCount> names = {
        QStringLiteral("small.kli"), QStringLiteral("middle.kli"), QStringLiteral("big.kli"),
        QStringLiteral("common.kli")};
    return names.at(static_cast<size_t>(list));
}

bool TSoundData::load(const QString& campanelDir, RequiredFileCheck& check) {
    for (int list = 0; list < kListCount; ++list) {
        const size_t i = static_cast<size_t>(list);
        m_lines[i].clear();
        m_requirements[i].clear();
        m_names[i].clear();
        m_files[i].clear();
        m_offered[i].clear();
    }
    for (int list = 0; list < kListCount; ++list) {
        const size_t i = static_cast<size_t>(list);
        const QString path = campanelDir + listFileName(list);
        if (!check.check(path)) {
            return false;
        }
        const std::optional<QStringList> lines = readRingingFileLines(path).lines;
        if (!lines) {
            check.report(path);
            return false;
        }
        m_lines[i] = *lines;
        for (const QString& line : std::as_const(m_lines[i])) {
            SplitList(line, QStringLiteral(";"), m_scratch);
            if (m_scratch.size() < 3) {
                check.report(path);
                return false;
            }
            m_requirements[i].append(m_scratch[0]);
            m_names[i].append(m_scratch[1]);
            m_files[i].append(m_scratch[2]);
        }
    }
    return true;
}

TSoundData::Offer TSoundData::commonOffer(int smallCount, int middleCount, int bigCount) const {
    Offer offer;
    const QStringList& reqs = requirements(kCommonList);
    for (qsizetype line = 0; line < reqs.size(); ++line) {
        const QString& req = reqs.at(line);
        std::array<int, 3> need{};
        for (qsizetype d = 0; d < 3; ++d) {
            const std::optional<int> digit =
                d < req.size() ? numbers::parseDigits(QStringView(req).mid(d, 1)) : std::nullopt;
            if (!digit) {
                offer.complete = false;
                return offer;
            }
            need[static_cast<size_t>(d)] = *digit;
        }
        if (smallCount >= need[0] && middleCount >= need[1] && bigCount >= need[2]) {
            offer.names.append(names(kCommonList).at(line));
            offer.files.append(files(kCommonList).at(line));
        }
    }
    return offer;
}

TSoundData::Offer TSoundData::groupOffer(int list, int groupCount) const {
    Offer offer;
    if (list < kSmallList || list > kBigList) {
        return offer;
    }
    const QStringList& reqs = requirements(list);
    for (qsizetype line = 0; line < reqs.size(); ++line) {
        const std::optional<int> need = numbers::parseDigits(QStringView(reqs.at(line)).trimmed());
        if (need && groupCount >= *need) {
            offer.names.append(names(list).at(line));
            offer.files.append(files(list).at(line));
        }
    }
    return offer;
}
