// The generator as the build runs it: the same files every time, and a
// clear failure when it cannot do its work.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        static int counter = 0;
        path = fs::temp_directory_path() /
               ("bellsynth-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

int run(const std::string& arguments, const fs::path& log) {
    const std::string command = std::string("'") + BELLSYNTH_EXE + "' --table '" + BELLSYNTH_TABLE + "' " +
                                arguments + " > '" + log.string() + "' 2>&1";
    return std::system(command.c_str());
}

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// Two runs write byte-identical files: the sounds depend on the table and
// fixed seeds only, never on time, threads or memory.
TEST(BellSynthRun, TwoRunsWriteIdenticalFiles) {
    TempDir a;
    TempDir b;
    ASSERT_EQ(run("--out '" + (a.path / "Sound").string() + "' --only 1:14 --jobs 1", a.path / "log"), 0)
        << contents(a.path / "log");
    ASSERT_EQ(run("--out '" + (b.path / "Sound").string() + "' --only 1:14 --jobs 2", b.path / "log"), 0)
        << contents(b.path / "log");
    for (const char* kind : {"Stereo", "Mono"}) {
        const fs::path rel = fs::path("Sound/Model1") / kind / "bell15.wav";
        const std::string first = contents(a.path / rel);
        ASSERT_GT(first.size(), 44u * 1000u) << rel;
        EXPECT_TRUE(first == contents(b.path / rel)) << rel << " differs between runs";
    }
    // Nothing but the samples is left behind: no temporary files.
    for (const auto& e : fs::recursive_directory_iterator(a.path / "Sound")) {
        if (e.is_regular_file()) {
            EXPECT_EQ(e.path().extension(), ".wav") << e.path();
        }
    }
}

// Failures are reported and fail the build step instead of leaving a stamp.
TEST(BellSynthRun, FailuresAreReported) {
    TempDir t;
    const fs::path log = t.path / "log";
    const fs::path stamp = t.path / "stamp";
    // A folder that cannot be written.
    fs::create_directories(t.path / "ro");
    fs::permissions(t.path / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    if (::access((t.path / "ro").c_str(), W_OK) != 0) {
        EXPECT_NE(
            run("--out '" + (t.path / "ro/Sound").string() + "' --only 1:14 --stamp '" + stamp.string() + "'",
                log),
            0);
        EXPECT_FALSE(fs::exists(stamp));
    }
    fs::permissions(t.path / "ro", fs::perms::owner_all);
    // A bell that does not exist, and an unknown option.
    EXPECT_NE(run("--out '" + t.path.string() + "' --only 4:0", log), 0);
    EXPECT_NE(contents(log).find("--only"), std::string::npos);
    EXPECT_NE(run("--out '" + t.path.string() + "' --colour blue", log), 0);
    EXPECT_NE(contents(log).find("--colour"), std::string::npos);
}
