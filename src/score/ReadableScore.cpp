#include "score/ReadableScore.h"

#include "base/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

// The usual head, which the readable one never undercuts.
constexpr int kUsualHeadWidth = 6;
constexpr int kUsualHeadHeight = 4;

bool validGroup(int group) {
    return group >= 0 && group < kScoreGroupCount;
}

int clampInt(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

// The box before the first head of a page, where the line labels stand:
// from x 1 to two pixels short of that head.
int labelWidth(QSize size, const ReadableMetrics& m) {
    const double columnWidth = double(size.width()) / kScorePageColumns;
    const int firstCentre = roundHalfEven(columnWidth / 2 + barShiftOfPlace(1));
    return std::max(0, firstCentre - m.headWidth / 2 - 3);
}

QString pageText(int page, int pages) {
    return QStringLiteral("стр. %1 из %2").arg(page).arg(pages);
}

bool drawable(int group, QSize size, const ScorePage& page) {
    return page.readable && validGroup(group) && size.width() > 0 && size.height() > 0;
}

} // namespace

ReadableMetrics readableMetrics(int group, QSize size, bool wideHeads) {
    ReadableMetrics m;
    if (!validGroup(group) || size.width() <= 0 || size.height() <= 0) {
        return m;
    }
    const double rowHeight = double(size.height()) / scoreStaffRows(group);
    const double columnWidth = double(size.width()) / kScorePageColumns;
    const int widest = std::max(kUsualHeadWidth, static_cast<int>(columnWidth * (wideHeads ? 0.7 : 0.5)));
    // A head a little wider than high: where half a column is the limit, the
    // height gives way rather than standing the oval upright.
    m.headHeight = clampInt(roundHalfEven(0.45 * rowHeight), kUsualHeadHeight,
                            std::max(kUsualHeadHeight, roundHalfEven(widest * 0.75)));
    m.headWidth = clampInt(roundHalfEven(m.headHeight * 1.35), kUsualHeadWidth, widest);
    m.hollowOutline = m.headHeight >= 8 ? 2 : 1;
    m.beamWidth = std::max(2, roundHalfEven(rowHeight / 8));
    // The rests of a beat have the height the usual view gives them (from
    // half to one and a half stem units), centred on the staff.
    const int stemUnit = roundHalfEven(rowHeight - rowHeight / 10);
    const double k = scoreStemFactor(group);
    const int restHeight = roundHalfEven(1.5 * k * stemUnit) - roundHalfEven(0.5 * k * stemUnit);
    m.restTop = roundHalfEven(size.height() / 2.0) - restHeight / 2;
    m.restBottom = m.restTop + restHeight;
    m.labelPixels = clampInt(roundHalfEven(0.45 * rowHeight), 8, 14);
    m.numberPixels = clampInt(roundHalfEven(0.4 * rowHeight), 8, 13);
    return m;
}

int readableKeyMargin(int pictureWidth) {
    // Room for the widest capital at the labels' smallest size and more on a
    // wider window; never more than an eighth of a narrow picture.
    const int wanted = clampInt(roundHalfEven(pictureWidth * 0.026), 24, 40);
    return std::max(0, std::min(wanted, pictureWidth / 8));
}

int readableMarginLabelPixels(int group, QSize staff, int margin) {
    if (!validGroup(group) || staff.height() <= 0) {
        return kMarginLabelPixels;
    }
    const double row = double(staff.height()) / scoreStaffRows(group);
    const int wanted = clampInt(roundHalfEven(0.9 * row), kMarginLabelPixels, 28);
    // The widest capital is about as wide as the size, two pixels clear of
    // either edge; a capital about three quarters of the size high, the
    // labels of neighbouring lines clear of each other.
    const int marginAllows = static_cast<int>((margin - 4) / 1.05);
    const int rowsAllow = static_cast<int>(row / 0.75);
    return std::max(8, std::min({wanted, marginAllows, rowsAllow}));
}

int scorePageCount(const ScorePage& page) {
    qsizetype longest = 0;
    for (const QStringList& score : page.groups) {
        longest = std::max(longest, score.size());
    }
    return static_cast<int>((longest + kScorePageColumns - 1) / kScorePageColumns);
}

namespace {

std::vector<ScoreText> labelsAt(int group, QSize size, const ScorePage& page) {
    std::vector<ScoreText> texts;
    if (!drawable(group, size, page)) {
        return texts;
    }
    const ReadableMetrics m = readableMetrics(group, size);
    const int h = size.height();
    const double rowHeight = double(h) / scoreStaffRows(group);
    const int right = 1 + labelWidth(size, m);
    const QStringList& labels = page.keyLabels[static_cast<size_t>(group)];
    const int count = page.counts[static_cast<size_t>(group)];
    // A capital letter is about 0.6 of its size wide: the size the room
    // before the first head allows, down to 8 pixels, and no label where
    // not even that fits.
    const int room = right - 1;
    if (room < 5) {
        return texts;
    }
    const int pixels = std::min(m.labelPixels, std::max(8, static_cast<int>(room / 0.6)));
    const int height = pixels + 2;
    for (int position = 1; position <= count && position <= labels.size(); ++position) {
        const QString& label = labels.at(position - 1);
        if (label.isEmpty() || !scorePositionOnStaff(group, position, count)) {
            continue;
        }
        const int y = roundHalfEven(scoreStaffRow(group, position, count) * rowHeight);
        // Centred on its line, but kept inside the staff (the top line's label below it).
        const int top = clampInt(y - height / 2, 0, std::max(0, h - height));
        texts.push_back({QRect(1, top, room, height), label, pixels, Qt::AlignLeft | Qt::AlignVCenter,
                         ScoreColourRole::Ink, true});
    }
    return texts;
}

std::vector<ScoreText> marksAt(int group, QSize size, const ScorePage& page) {
    std::vector<ScoreText> texts;
    if (!drawable(group, size, page)) {
        return texts;
    }
    const ReadableMetrics m = readableMetrics(group, size);
    const int w = size.width();
    const int h = size.height();
    const int labelRight = 1 + labelWidth(size, m);
    const int pages = scorePageCount(page);
    if (pages == 0 || page.page < 0) {
        return texts;
    }
    const int barWidth = std::max(0, roundHalfEven(w / 4.0) - 6);
    const int numberHeight = m.numberPixels + 2;
    if (group == 0) {
        qsizetype length = 0;
        for (const QStringList& score : page.groups) {
            length = std::max(length, score.size());
        }
        for (int bar = 0; bar < 4; ++bar) {
            const qsizetype first = qsizetype(page.page) * kScorePageColumns + bar * kScoreBarColumns;
            if (first >= length) {
                break;
            }
            // The first bar's number keeps clear of the line labels.
            const int left = bar == 0 ? labelRight + 2 : roundHalfEven(bar * w / 4.0) + 3;
            texts.push_back({QRect(left, 1, barWidth, numberHeight),
                             QString::number(qsizetype(page.page) * 4 + bar + 1), m.numberPixels,
                             Qt::AlignLeft | Qt::AlignTop, ScoreColourRole::Staff});
        }
    }
    if (group == kScoreGroupCount - 1) {
        const int shown = page.page + 1;
        texts.push_back({QRect(w - 3 - barWidth, h - 2 - numberHeight, barWidth, numberHeight),
                         pageText(shown, std::max(pages, shown)), m.numberPixels,
                         Qt::AlignRight | Qt::AlignBottom, ScoreColourRole::Staff});
    }
    return texts;
}

// The line labels in the margin left of the staff, each centred on its line
// and kept inside the picture.
std::vector<ScoreText> marginLabels(int group, QSize size, const ScoreStaffArea& area,
                                    const ScorePage& page) {
    std::vector<ScoreText> texts;
    const int width = area.left - 3; // two pixels clear of the staff's left edge
    if (!drawable(group, area.size, page) || width < 4) {
        return texts;
    }
    const int pixels = readableMarginLabelPixels(group, area.size, area.left);
    const int height = pixels + 2;
    const double rowHeight = double(area.size.height()) / scoreStaffRows(group);
    const QStringList& labels = page.keyLabels[static_cast<size_t>(group)];
    const int count = page.counts[static_cast<size_t>(group)];
    for (int position = 1; position <= count && position <= labels.size(); ++position) {
        const QString& label = labels.at(position - 1);
        if (label.isEmpty() || !scorePositionOnStaff(group, position, count)) {
            continue;
        }
        const int y = area.top + roundHalfEven(scoreStaffRow(group, position, count) * rowHeight);
        const int top = clampInt(y - height / 2, 0, std::max(0, size.height() - height));
        texts.push_back({QRect(1, top, width, height), label, pixels, Qt::AlignHCenter | Qt::AlignVCenter,
                         ScoreColourRole::Ink, true});
    }
    return texts;
}

// The texts of the staff's area, moved to where that area stands in the picture.
std::vector<ScoreText> inStaffArea(int group, QSize size, const ScorePage& page,
                                   std::vector<ScoreText> (*layout)(int, QSize, const ScorePage&)) {
    const ScoreStaffArea area = scoreStaffArea(group, size, page);
    std::vector<ScoreText> texts = layout(group, area.size, page);
    for (ScoreText& text : texts) {
        text.box.translate(area.left, area.top);
    }
    return texts;
}

} // namespace

std::vector<ScoreText> layoutReadableLabels(int group, QSize size, const ScorePage& page) {
    if (!drawable(group, size, page)) {
        return {};
    }
    const ScoreStaffArea area = scoreStaffArea(group, size, page);
    if (area.left > 0) {
        return marginLabels(group, size, area, page);
    }
    return inStaffArea(group, size, page, labelsAt);
}

std::vector<ScoreText> layoutReadableMarks(int group, QSize size, const ScorePage& page) {
    return inStaffArea(group, size, page, marksAt);
}

std::vector<ScoreText> layoutReadableTexts(int group, QSize size, const ScorePage& page) {
    std::vector<ScoreText> texts = layoutReadableLabels(group, size, page);
    const std::vector<ScoreText> marks = layoutReadableMarks(group, size, page);
    texts.insert(texts.end(), marks.begin(), marks.end());
    return texts;
}

QString readableKeyLabel(int virtualKey) {
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
        return QString(QChar(virtualKey));
    }
    if (virtualKey >= 96 && virtualKey <= 105) { // the numeric pad's digits
        return QString(QChar('0' + virtualKey - 96));
    }
    static constexpr struct {
        int code;
        char label;
    } kPunctuation[] = {{186, ';'}, {187, '='}, {188, ','},  {189, '-'}, {190, '.'}, {191, '/'},
                        {192, '`'}, {219, '['}, {220, '\\'}, {221, ']'}, {222, '\''}};
    for (const auto& key : kPunctuation) {
        if (key.code == virtualKey) {
            return QString(QChar(key.label));
        }
    }
    return {};
}
