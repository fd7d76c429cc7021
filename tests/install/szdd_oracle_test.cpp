// The COMPRESS tool's free implementation (Debian's mscompress: mscompress and
// msexpand) as the oracle for both directions of the SZDD format.

#include "core/install/szdd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "szddtestdata.h"
#include "tools/szddcompress.h"

namespace {

namespace fs = std::filesystem;
using szddtest::Bytes;

bool haveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

class SzddOracle : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveTool("msexpand") || !haveTool("mscompress")) {
            GTEST_SKIP() << "mscompress and msexpand are not installed (Debian package mscompress)";
        }
        char pattern[] = "/tmp/ostrel-szdd-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        if (!m_dir.empty()) {
            fs::remove_all(m_dir);
        }
    }

    // What msexpand makes of a packed file.
    Bytes msexpand(const Bytes& packed) {
        const fs::path in = m_dir / "in.bin_";
        const fs::path out = m_dir / "out.bin";
        writeFile(in, packed);
        EXPECT_EQ(std::system(("msexpand < " + quoted(in) + " > " + quoted(out)).c_str()), 0);
        return szddtest::readFile(out.string());
    }

    // What mscompress makes of a file.
    Bytes mscompress(const Bytes& original) {
        const fs::path in = m_dir / "orig.bin";
        writeFile(in, original);
        fs::remove(m_dir / "orig.bin_");
        EXPECT_EQ(std::system(("mscompress " + quoted(in) + " >/dev/null").c_str()), 0);
        return szddtest::readFile((m_dir / "orig.bin_").string());
    }

    static std::vector<szddtest::Sample> inputs() {
        auto all = szddtest::samples();
        Bytes font = szddtest::readFile(OSTREL_FONT_FILE);
        if (!font.empty()) {
            all.push_back({"the font", std::move(font)});
        }
        return all;
    }

    fs::path m_dir;
};

TEST_F(SzddOracle, MsexpandUnpacksOurPacker) {
    for (const auto& sample : inputs()) {
        const Bytes packed = szddpack::pack(sample.bytes.data(), sample.bytes.size());
        EXPECT_EQ(msexpand(packed), sample.bytes) << sample.name;
    }
}

TEST_F(SzddOracle, WeUnpackWhatMscompressMade) {
    for (const auto& sample : inputs()) {
        const Bytes packed = mscompress(sample.bytes);
        ASSERT_GT(packed.size(), szdd::kHeaderSize) << sample.name;
        const auto ours = DecompressSzdd(packed.data(), packed.size());
        ASSERT_TRUE(ours.has_value()) << sample.name;
        // msexpand writes out whatever the stream holds, also bytes beyond the
        // declared length (mscompress ends an empty file with a stray literal).
        Bytes theirs = msexpand(packed);
        ASSERT_GE(theirs.size(), ours->size()) << sample.name;
        theirs.resize(ours->size());
        EXPECT_EQ(*ours, theirs) << sample.name;
        // mscompress 0.4 loses inputs of 1 to 15 bytes (its stream holds other
        // bytes, which msexpand reproduces); every other input must come back.
        if (sample.bytes.empty() || sample.bytes.size() >= 16) {
            EXPECT_EQ(*ours, sample.bytes) << sample.name;
        }
    }
}

TEST_F(SzddOracle, OurPackingIsAsCompactAsTheirs) {
    for (const auto& sample : inputs()) {
        if (sample.bytes.size() < 1000) {
            continue;
        }
        const Bytes ours = szddpack::pack(sample.bytes.data(), sample.bytes.size());
        const Bytes theirs = mscompress(sample.bytes);
        EXPECT_LE(ours.size(), theirs.size() + theirs.size() / 50) << sample.name;
        RecordProperty(sample.name, std::to_string(ours.size()) + " vs " + std::to_string(theirs.size()));
    }
}

}  // namespace
