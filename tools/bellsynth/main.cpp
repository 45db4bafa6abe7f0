// The bell synthesizer: writes the program's bell samples from the table of
// bells, or renders a preview of a row (every bell in turn, or all at once).
//
//   bellsynth --table bells.table --out Sound [--stamp FILE] [--jobs N] [--only ROW:BELL] [--report]
//   bellsynth --table bells.table --preview sequence|chord --row ROW --out preview.wav [--mono]

#include "BellSample.h"
#include "BellTable.h"
#include "Random.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace bellsynth;

namespace {

struct Options {
    std::string table;
    std::string out;
    std::string stamp;
    std::string preview;
    int jobs = 0;
    int onlyRow = -1;
    int onlyBell = -1;
    int previewRow = 1;
    bool mono = false;
    bool report = false;
};

int usage(const std::string& problem) {
    std::fprintf(stderr,
                 "bellsynth: %s\n"
                 "usage: bellsynth --table FILE --out FOLDER [--stamp FILE] [--jobs N] [--only ROW:BELL] "
                 "[--report]\n"
                 "       bellsynth --table FILE --preview sequence|chord --row ROW --out FILE.wav [--mono]\n",
                 problem.c_str());
    return 2;
}

bool parseOptions(int argc, char** argv, Options& o, std::string& problem) {
    std::map<std::string, std::string*> text = {
        {"--table", &o.table}, {"--out", &o.out}, {"--stamp", &o.stamp}, {"--preview", &o.preview}};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--mono") {
            o.mono = true;
        } else if (a == "--report") {
            o.report = true;
        } else if (text.count(a) != 0 && hasValue) {
            *text[a] = argv[++i];
        } else if (a == "--jobs" && hasValue) {
            o.jobs = std::atoi(argv[++i]);
        } else if (a == "--row" && hasValue) {
            o.previewRow = std::atoi(argv[++i]);
        } else if (a == "--only" && hasValue) {
            if (std::sscanf(argv[++i], "%d:%d", &o.onlyRow, &o.onlyBell) != 2) {
                problem = "--only takes ROW:BELL, for example 1:0";
                return false;
            }
        } else {
            problem = "unknown or incomplete option " + a;
            return false;
        }
    }
    if (o.table.empty() || o.out.empty()) {
        problem = "--table and --out are required";
        return false;
    }
    if (!o.preview.empty() && o.preview != "sequence" && o.preview != "chord") {
        problem = "--preview is sequence or chord";
        return false;
    }
    return true;
}

struct Job {
    int row = 0; // 0-based
    int bell = 0;
    std::string error;
    MasteredBell result; // levels only; the sound is dropped once written
    double seconds = 0.0;
    double monoSeconds = 0.0;
};

void writeBell(const BellRow& row, Job& job, const std::filesystem::path& out) {
    const BellVoice voice = buildBellVoice(row, job.bell, kSampleRate);
    MasteredBell m = masterBell(voice);
    const std::filesystem::path folder = out / ("Model" + std::to_string(row.number));
    const std::string name = sampleFileName(job.bell);
    const std::vector<std::int16_t> stereo =
        toPcm16({m.stereo.left.data(), m.stereo.right.data()}, m.stereo.frames(), m.stereoFadeStart,
                bellSeed(row.number, job.bell, 3));
    job.error = writeWav16((folder / "Stereo" / name).string(), stereo, 2, static_cast<int>(kSampleRate));
    if (job.error.empty()) {
        const std::vector<std::int16_t> mono =
            toPcm16({m.mono.data()}, m.mono.size(), m.monoFadeStart, bellSeed(row.number, job.bell, 4));
        job.error = writeWav16((folder / "Mono" / name).string(), mono, 1, static_cast<int>(kSampleRate));
    }
    job.seconds = static_cast<double>(m.stereo.frames()) / kSampleRate;
    job.monoSeconds = static_cast<double>(m.mono.size()) / kSampleRate;
    m.stereo = {};
    m.mono = {};
    job.result = std::move(m);
}

std::string summaryLine(const BellTable& table, const Job& j) {
    const BellRow& row = table.rows[static_cast<size_t>(j.row)];
    char line[256];
    std::snprintf(
        line, sizeof line,
        "row %d bell %2d %s nominal %7.1f Hz  %5.1f s  loudness %6.2f / %6.2f  peak %6.2f / %6.2f dBFS%s",
        row.number, j.bell, sampleFileName(j.bell).c_str(), row.nominalOf(j.bell), j.seconds,
        j.result.stereoLoudnessDb, j.result.monoLoudnessDb, j.result.stereoPeakDb, j.result.monoPeakDb,
        j.result.limited ? "  (peak-limited)" : "");
    return line;
}

int generate(const BellTable& table, const Options& o) {
    const auto started = std::chrono::steady_clock::now();
    const std::filesystem::path out(o.out);
    std::vector<Job> jobs;
    for (int r = 0; r < kRowCount; ++r) {
        for (int b = 0; b < kBellsPerRow; ++b) {
            if (o.onlyRow >= 0 && (o.onlyRow != r + 1 || o.onlyBell != b)) {
                continue;
            }
            jobs.push_back({r, b, {}, {}, 0.0, 0.0});
        }
        for (const char* kind : {"Stereo", "Mono"}) {
            std::error_code ec;
            std::filesystem::create_directories(out / ("Model" + std::to_string(r + 1)) / kind, ec);
        }
    }
    if (jobs.empty()) {
        return usage("--only names no bell of the table");
    }
    // Each bell is independent and seeded by its row and index, so the files
    // come out the same whichever thread makes them.
    std::atomic<size_t> next{0};
    const auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            writeBell(table.rows[static_cast<size_t>(jobs[i].row)], jobs[i], out);
        }
    };
    const int threads =
        std::clamp(o.jobs > 0 ? o.jobs : static_cast<int>(std::thread::hardware_concurrency()), 1,
                   static_cast<int>(jobs.size()));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) {
        pool.emplace_back(worker);
    }
    worker();
    for (std::thread& t : pool) {
        t.join();
    }
    std::vector<std::string> lines;
    int failed = 0;
    for (const Job& j : jobs) {
        if (!j.error.empty()) {
            std::fprintf(stderr, "bellsynth: %s\n", j.error.c_str());
            ++failed;
        }
        lines.push_back(summaryLine(table, j));
        if (o.report) {
            std::printf("%s\n", lines.back().c_str());
        }
    }
    if (failed > 0) {
        return 1;
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("bellsynth: wrote %zu files in %.1f s with %d threads\n", jobs.size() * 2, elapsed, threads);
    if (!o.stamp.empty()) {
        const std::string temp = o.stamp + ".tmp";
        {
            std::ofstream s(temp, std::ios::trunc);
            for (const std::string& l : lines) {
                s << l << '\n';
            }
            if (!s) {
                std::fprintf(stderr, "bellsynth: cannot write %s\n", temp.c_str());
                return 1;
            }
        }
        std::error_code ec;
        std::filesystem::rename(temp, o.stamp, ec);
        if (ec) {
            std::fprintf(stderr, "bellsynth: %s: %s\n", o.stamp.c_str(), ec.message().c_str());
            return 1;
        }
    }
    return 0;
}

// A row heard as a ringer would first try it: every bell from the largest
// down, then a chord of all fifteen; or the chord alone.
int preview(const BellTable& table, const Options& o) {
    if (o.previewRow < 1 || o.previewRow > kRowCount) {
        return usage("--row is 1, 2 or 3");
    }
    const BellRow& row = table.rows[static_cast<size_t>(o.previewRow - 1)];
    const bool sequence = o.preview == "sequence";
    const size_t spacing = static_cast<size_t>(0.9 * kSampleRate);
    std::vector<float> left;
    std::vector<float> right;
    for (int b = 0; b < kBellsPerRow; ++b) {
        const MasteredBell m = masterBell(buildBellVoice(row, b, kSampleRate));
        const size_t at = sequence ? static_cast<size_t>(b) * spacing : 0;
        const size_t frames = o.mono ? m.mono.size() : m.stereo.frames();
        if (left.size() < at + frames) {
            left.resize(at + frames, 0.0f);
            right.resize(at + frames, 0.0f);
        }
        for (size_t i = 0; i < frames; ++i) {
            left[at + i] += o.mono ? m.mono[i] : m.stereo.left[i];
            right[at + i] += o.mono ? m.mono[i] : m.stereo.right[i];
        }
    }
    float peak = 0.0f;
    for (size_t i = 0; i < left.size(); ++i) {
        peak = std::max({peak, std::abs(left[i]), std::abs(right[i])});
    }
    const double limit = std::pow(10.0, kPeakLimitDb / 20.0);
    const double gain = peak > limit ? limit / peak : 1.0;
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = static_cast<float>(left[i] * gain);
        right[i] = static_cast<float>(right[i] * gain);
    }
    const std::vector<std::int16_t> pcm =
        toPcm16({left.data(), right.data()}, left.size(), left.size(), bellSeed(row.number, 99, 5));
    const std::string error = writeWav16(o.out, pcm, 2, static_cast<int>(kSampleRate));
    if (!error.empty()) {
        std::fprintf(stderr, "bellsynth: %s\n", error.c_str());
        return 1;
    }
    std::printf("bellsynth: %s of row %d, %.1f s, mix gain %.1f dB\n", o.preview.c_str(), row.number,
                static_cast<double>(left.size()) / kSampleRate, 20.0 * std::log10(gain));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    std::string problem;
    if (!parseOptions(argc, argv, o, problem)) {
        return usage(problem);
    }
    std::string error;
    const std::optional<BellTable> table = loadBellTable(o.table, error);
    if (!table) {
        std::fprintf(stderr, "bellsynth: %s\n", error.c_str());
        return 1;
    }
    return o.preview.empty() ? generate(*table, o) : preview(*table, o);
}
