// `ostrel` when things go wrong around it: a signal in the middle of a
// conversion, a disk that takes no more, a line too long to hold, a named pipe
// in the place of the settings file. Each runs the built tool as a process.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/convert/rtfwriter.h"
#include "filetestsupport.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Finished {
    int status = 0;      // as waitpid gives it
    long peakKiB = 0;    // the tool's most resident memory, as last seen while it ran
    std::string err;
};

// The most resident memory of a running process so far (its own, from its
// start: the figure of wait4 would count the test's memory too, which the
// child shared until it started the tool).
long highWaterKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

class CliResilienceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("ostrel-resilience-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "home");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path path(const std::string& name) const { return m_dir / name; }

    // Starts the tool through bash (for its limits), with standard input from
    // "stdin" and errors into "stderr"; the home folder is the test's own.
    pid_t start(const std::string& args, const std::string& limits = {}) {
        if (!fs::exists(path("stdin"))) {
            writeFile(path("stdin"), {});
        }
        const std::string script = "cd '" + m_dir.string() + "' && " + limits + " exec env -u XDG_CONFIG_HOME HOME='" +
                                   (m_dir / "home").string() + "' '" OSTREL_CLI "' " + args +
                                   " < stdin > stdout 2> stderr";
        const char* argv[] = {"/bin/bash", "-c", script.c_str(), nullptr};
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawn(&pid, "/bin/bash", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
        return pid;
    }

    // Waits for the process, at most `limit`; one still running then is
    // killed and counts as hanging.
    Finished finish(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(120)) {
        Finished result;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            result.peakKiB = std::max(result.peakKiB, highWaterKiB(pid));
            if (::waitpid(pid, &result.status, WNOHANG) == pid) {
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &result.status, 0);
                ADD_FAILURE() << "the tool hung";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        result.err = readFile(path("stderr"));
        return result;
    }

    // Prose of `size` bytes in lines.
    void writeProse(const std::string& name, std::size_t size) {
        const std::string line = "Tengwar so pisava, ki jo je izumil Fëanor; berejo jo vilini in ljudje.\n";
        std::string text;
        text.reserve(size + line.size());
        while (text.size() < size) {
            text += line;
        }
        writeFile(path(name), text);
    }

    fs::path m_dir;
};

// Ctrl+C, a kill and a closed terminal stop a conversion alike: the document
// is closed, the tool says what the output holds, and it ends by the signal.
TEST_F(CliResilienceTest, ConvertStoppedBySignalsClosesTheDocumentAlike) {
    writeProse("in.txt", std::size_t{96} << 20);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        fs::remove(path("out.rtf"));
        const pid_t pid = start("convert --yes in.txt out.rtf");
        // Stopped while the document is being written.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::error_code error;
        while ((!fs::exists(path("out.rtf")) || fs::file_size(path("out.rtf"), error) < 100000) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_EQ(::kill(pid, signal), 0);
        const Finished run = finish(pid);
        ASSERT_TRUE(WIFSIGNALED(run.status)) << "status " << run.status << ": " << run.err;
        EXPECT_EQ(WTERMSIG(run.status), signal);
        EXPECT_NE(run.err.find("pretvorba prekinjena"), std::string::npos) << run.err;
        const std::string document = readFile(path("out.rtf"));
        EXPECT_LT(document.size(), std::size_t{96} << 20) << "stopped before the end";
        EXPECT_TRUE(document.starts_with("{\\rtf1"));
        EXPECT_TRUE(document.ends_with(rtf::kClosing)) << document.substr(document.size() - 40);
    }
}

// A disk that takes no more (here the file size limit, which fails a write
// the same way): no half document is left behind, and the message says so.
TEST_F(CliResilienceTest, AFullDiskLeavesNoHalfDocument) {
    writeProse("in.txt", std::size_t{2} << 20);
    writeFile(path("out.rtf"), "an older document");
    const Finished run = finish(start("convert --yes in.txt out.rtf", "trap '' XFSZ; ulimit -f 256;"));
    ASSERT_TRUE(WIFEXITED(run.status));
    EXPECT_EQ(WEXITSTATUS(run.status), 1);
    EXPECT_NE(run.err.find("Napaka pri pisanju"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("je odstranjena"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(path("out.rtf")));

    // A device is no file to remove: the failure is told, the device stays.
    const Finished device = finish(start("convert --yes in.txt /dev/full"));
    EXPECT_EQ(WEXITSTATUS(device.status), 1);
    EXPECT_NE(device.err.find("Na disku ni dovolj prostora"), std::string::npos) << device.err;
    EXPECT_EQ(device.err.find("odstran"), std::string::npos) << device.err;
    EXPECT_TRUE(fs::exists("/dev/full"));
}

// A file of one line without a single space converts in memory that does not
// grow with the line (it grew by more than five bytes per byte of it).
TEST_F(CliResilienceTest, ConvertMemoryDoesNotGrowWithALine) {
    constexpr std::size_t kLine = std::size_t{40} << 20;
    std::string text;
    text.reserve(kLine);
    std::mt19937 random(7);
    const std::string letters = "tengwarslovenskihbesedilmnopcdz";
    while (text.size() < kLine) {
        text += letters[random() % letters.size()];
    }
    writeFile(path("in.txt"), text);
    text.clear();
    text.shrink_to_fit();
    const Finished run = finish(start("convert --yes --defaults in.txt out.rtf"));
    ASSERT_TRUE(WIFEXITED(run.status)) << run.err;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.err;
    const std::string document = readFile(path("out.rtf"));
    EXPECT_TRUE(document.ends_with(rtf::kClosing));
    EXPECT_GT(document.size(), kLine / 2);
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory: the peak says nothing here";
#else
    EXPECT_LT(run.peakKiB, 64 * 1024) << "peak resident memory in KiB";
#endif
}

// A named pipe in the place of the settings file is not opened (it would wait
// for a writer for ever): the tool says so and uses the default switches.
TEST_F(CliResilienceTest, ASettingsFileThatIsANamedPipeIsNotWaitedFor) {
    const fs::path folder = m_dir / "home/.config/Brinmoor Software, Inc.";
    fs::create_directories(folder);
    ASSERT_EQ(::mkfifo((folder / "Tengwar Ostrel.conf").c_str(), 0600), 0);
    writeFile(path("stdin"), "tengwar\n");
    const Finished run = finish(start("transcribe"), std::chrono::seconds(20));
    ASSERT_TRUE(WIFEXITED(run.status)) << run.err;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.err;
    EXPECT_NE(run.err.find("cev ali naprava"), std::string::npos) << run.err;
    EXPECT_FALSE(readFile(path("stdout")).empty());
}

}  // namespace
