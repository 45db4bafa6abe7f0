// Cost of reading and writing ringing text: decoding an encoded body,
// loading it into the working set, and encoding it for a save.

#include "base/TextCodec.h"
#include "ringing/RingingText.h"
#include "ringing/TChannels.h"

#include <benchmark/benchmark.h>

namespace {

QStringList body(int columns) {
    QStringList lines{QStringLiteral("144;s-")};
    for (int i = 0; i < columns; ++i) {
        lines << (i % 4 == 3 ? QString()
                             : QStringLiteral("s%1,s%2,m%3,b%4").arg(i % 5).arg(i % 3).arg(i % 4).arg(i % 2));
    }
    return lines;
}

void decodeEncodedBody(benchmark::State& state) {
    const QString stored = EncodeRingingText(joinCrLf(body(static_cast<int>(state.range(0)))), 2, 2);
    for (auto _ : state) {
        QStringList lines{stored};
        DecodeRingingText(lines);
        benchmark::DoNotOptimize(lines);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(decodeEncodedBody)->RangeMultiplier(8)->Range(128, 65536)->Complexity();

void loadCommonRinging(benchmark::State& state) {
    const QStringList lines = body(static_cast<int>(state.range(0)));
    TChannels channels;
    for (auto _ : state) {
        benchmark::DoNotOptimize(channels.loadRingingLines(TChannels::kCommonScore, lines, 144));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(loadCommonRinging)->RangeMultiplier(8)->Range(128, 65536)->Complexity();

// One column holding the same strike `range` times (a hostile file within
// the limits): the load drops the repeats in one pass.
void loadColumnOfRepeatedStrikes(benchmark::State& state) {
    const QStringList lines{QStringLiteral("144"),
                            QStringList(static_cast<qsizetype>(state.range(0)), QStringLiteral("s1")).join(u',')};
    TChannels channels;
    for (auto _ : state) {
        benchmark::DoNotOptimize(channels.loadRingingLines(TChannels::kCommonScore, lines, 144));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(loadColumnOfRepeatedStrikes)->RangeMultiplier(10)->Range(300, 300000)->Complexity();

void encodeBody(benchmark::State& state) {
    const QString text = joinCrLf(body(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeRingingText(text, 0, 0));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(encodeBody)->RangeMultiplier(8)->Range(128, 65536)->Complexity();

} // namespace

BENCHMARK_MAIN();
