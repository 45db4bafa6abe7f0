// Fuzz target for the ringing text: decoding, loading into the working set,
// splitting and merging, and the guard of ReplaceAll. Besides crashes,
// hangs and sanitizer reports it checks the rules callers rely on.
//
// Input layout: byte 0 picks the score index (0..3) and the symbol choice;
// the rest is a ringing file in Windows-1251. Inputs holding two NUL bytes
// are also read as text, search and replacement for ReplaceAll.

#include "base/TextCodec.h"
#include "base/TextLists.h"
#include "ringing/RingingText.h"
#include "ringing/TChannels.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void fuzzReplaceAll(const QByteArray& bytes) {
    const QList<QByteArray> parts = bytes.split('\0');
    if (parts.size() < 3 || parts[1].size() > 8 || parts[2].size() > 8) {
        return;
    }
    const QString text = decode1251(parts[0]);
    const QString search = decode1251(parts[1]);
    const QString replacement = decode1251(parts[2]);
    const QString result = ReplaceAll(text, search, replacement);
    // Ended, and grew at most as much as the budget of replacements allows.
    const qsizetype growth = std::max<qsizetype>(0, replacement.size() - search.size());
    require(result.size() <= text.size() + (2 * text.size() + 64) * growth);
    if (!search.isEmpty() && !replacement.contains(search)) {
        // Either every occurrence is gone, or the budget ran out and one pass was made.
        QString once = text;
        once.replace(search, replacement);
        require(!result.contains(search) || result == once);
    }
}

void fuzzLoad(std::uint8_t selector, const QByteArray& bytes) {
    const QStringList lines = splitTextLines(decode1251(bytes));
    const int index = selector & 3;

    TChannels channels;
    channels.common() = {QStringLiteral("s1")};
    const QStringList before = channels.common();
    const RingingLoadResult result = channels.loadRingingLines(index, lines, 144);
    if (!result.loaded) {
        require(channels.common() == before);
        return;
    }
    require(result.interval >= TChannels::kMinInterval && result.interval <= TChannels::kMaxInterval);
    if (index == TChannels::kCommonScore) {
        for (int g = 0; g < TChannels::kGroupCount; ++g) {
            require(channels.score(g).size() == channels.common().size());
        }
    } else {
        require(channels.score(index).size() <= TChannels::kGroupRingingColumns);
        require(channels.common().size() == TChannels::kGroupRingingColumns);
    }
    channels.SplitCommonScore();
    channels.MergeGroupScores();
    require(channels.common().size() == TChannels::kGroupRingingColumns);
}

void fuzzRoundTrip(std::uint8_t selector, const QByteArray& bytes) {
    QStringList body = splitTextLines(decode1251(bytes));
    if (!isCarriedByEncoding(body)) {
        return;
    }
    // What the writer stores reads back exactly.
    const int lineBreak = (selector >> 2) & 3;
    const int comma = (selector >> 4) & 3;
    QStringList stored{EncodeRingingText(joinCrLf(body), lineBreak, comma)};
    require(!stored.front().contains(u'\r') && !stored.front().contains(u'\n'));
    DecodeRingingText(stored);
    require(stored == body || (body.isEmpty() && stored == QStringList{QString()}));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    fuzzReplaceAll(bytes);
    fuzzLoad(data[0], bytes);
    fuzzRoundTrip(data[0], bytes);
    return 0;
}
