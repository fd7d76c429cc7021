#include "core/install/szdd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "szddtestdata.h"
#include "tools/szddcompress.h"

namespace {

using szddtest::Bytes;

Bytes header(std::uint32_t length) {
    Bytes h = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33, 0x41, 0x00};
    for (int shift = 0; shift < 32; shift += 8) {
        h.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    return h;
}

Bytes file(std::uint32_t length, const Bytes& stream) {
    Bytes f = header(length);
    f.insert(f.end(), stream.begin(), stream.end());
    return f;
}

std::optional<Bytes> unpack(const Bytes& f) {
    return DecompressSzdd(f.data(), f.size());
}

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

TEST(DecompressSzdd, RefusesBadHeaders) {
    const Bytes good = file(3, {0xFF, 'a', 'b', 'c'});
    ASSERT_EQ(unpack(good), bytesOf("abc"));

    EXPECT_EQ(DecompressSzdd(nullptr, 100), std::nullopt);
    EXPECT_EQ(DecompressSzdd(good.data(), 0), std::nullopt);
    EXPECT_EQ(DecompressSzdd(good.data(), 14), std::nullopt);
    for (std::size_t at = 0; at < 9; ++at) {  // either magic or the mode
        Bytes bad = good;
        bad[at] ^= 0x01;
        EXPECT_EQ(unpack(bad), std::nullopt) << "byte " << at;
    }
    Bytes otherName = good;  // the recorded name character is not checked
    otherName[9] = 'f';
    EXPECT_EQ(unpack(otherName), bytesOf("abc"));
}

TEST(DecompressSzdd, DecodesLiteralsAndBackReferences) {
    struct Case {
        const char* what;
        Bytes file;
        std::string expected;
    };
    const Case cases[] = {
        // Flags from the lowest bit: 1 literal, 0 reference (position, length - 3).
        {"literals across two flag bytes", file(9, {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x01, 'i'}),
         "abcdefghi"},
        // The window starts as spaces; position 100 of the format reads one of them.
        {"initial window is spaces", file(5, {0x01, 'x', 0x64, 0x02}), "x    "},
        // 'a' lands at 0xFF0 of the format's window; copying from there overlaps.
        {"overlapping copy repeats", file(11, {0x01, 'a', 0xF0, 0xF7}), "aaaaaaaaaaa"},
        {"copy of a pair", file(7, {0x03, 'a', 'b', 0xF0, 0xF2}), "abababa"},
        // Seventeen literals fill 0xFF0..0xFFF and wrap to 0; the copy from 0xFFE
        // wraps too and its last step reads the byte its first step wrote.
        {"positions wrap", file(21, {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g',  'h', 0xFF, 'i',
                                     'j',  'k', 'l', 'm', 'n', 'o', 'p', 0x01, 'q', 0xFE, 0xF1}),
         "abcdefghijklmnopqopqo"},
        {"longest copy is 18", file(18, {0x00, 0x00, 0x0F}), std::string(18, ' ')},
        {"bytes after the declared length are ignored", file(2, {0xFF, 'a', 'b', 'c', 'd'}), "ab"},
        {"a copy stops at the declared length", file(4, {0x01, 'z', 0xF0, 0xFF}), "zzzz"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(unpack(c.file), bytesOf(c.expected)) << c.what;
    }
}

TEST(DecompressSzdd, DeclaredLengthZeroGivesAnEmptyBuffer) {
    // What the COMPRESS tool writes for an empty file: a stray literal after the header.
    const auto out = unpack(file(0, {0x01, 0x00}));
    ASSERT_TRUE(out.has_value());
    EXPECT_TRUE(out->empty());
    EXPECT_EQ(unpack(file(0, {0x00})), Bytes{});
}

TEST(DecompressSzdd, TruncatedStreamsFail) {
    // A stream that ends before the declared length, at every possible point.
    const Bytes text = szddtest::sample("text");
    ASSERT_FALSE(text.empty());
    const Bytes packed = szddpack::pack(text.data(), text.size());
    ASSERT_EQ(unpack(packed), text);
    for (std::size_t length = 0; length < packed.size(); ++length) {
        ASSERT_EQ(DecompressSzdd(packed.data(), length), std::nullopt) << "cut at " << length;
    }
    EXPECT_EQ(unpack(file(3, {0xFF, 'a', 'b'})), std::nullopt);
    EXPECT_EQ(unpack(file(20, {0x00, 0x00})), std::nullopt);  // half a reference
}

TEST(DecompressSzdd, ImpossibleLengthsFailWithoutAllocating) {
    // 0xFFFFFFFF could not come out of 13 bytes; the unpacker must not try to reserve 4 GiB.
    EXPECT_EQ(unpack(file(0xFFFFFFFFu, Bytes(13, 0x00))), std::nullopt);
    EXPECT_EQ(unpack(file(szdd::kMaxUnpackedLength + 1, Bytes(1000, 0x00))), std::nullopt);
    // Seventeen bytes of references expand to 144: the most one flag byte allows.
    Bytes dense = {0x00};
    for (int i = 0; i < 8; ++i) {
        dense.insert(dense.end(), {0x00, 0x0F});
    }
    EXPECT_EQ(unpack(file(144, dense)), Bytes(144, ' '));
    EXPECT_EQ(unpack(file(145, dense)), std::nullopt);
    EXPECT_GE(szdd::maxProducible(dense.size()), 144u);

    // A stream that holds more than the largest accepted length: exactly that
    // length unpacks, one byte more is refused.
    Bytes longest;
    for (std::uint32_t made = 0; made <= szdd::kMaxUnpackedLength; made += 144) {
        longest.insert(longest.end(), dense.begin(), dense.end());
    }
    const auto out = unpack(file(szdd::kMaxUnpackedLength, longest));
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->size(), szdd::kMaxUnpackedLength);
    EXPECT_EQ(unpack(file(szdd::kMaxUnpackedLength + 1, longest)), std::nullopt);
}

TEST(SzddPack, RoundTripsThroughTheUnpacker) {
    for (const auto& sample : szddtest::samples()) {
        const Bytes packed = szddpack::pack(sample.bytes.data(), sample.bytes.size());
        EXPECT_EQ(szddtest::declaredLength(packed), sample.bytes.size()) << sample.name;
        EXPECT_EQ(unpack(packed), sample.bytes) << sample.name;
        EXPECT_EQ(szddtest::referenceExpand(packed), sample.bytes) << sample.name;
    }
}

TEST(SzddPack, Compresses) {
    // Ratios the LZSS scheme reaches with a full search: 18 bytes per 2-byte
    // reference on runs, random data grows by one flag byte per eight.
    struct Case {
        const char* sample;
        double atMost;
    };
    const Case cases[] = {
        {"zeros", 0.125}, {"spaces", 0.125}, {"short period", 0.125}, {"text", 0.2}, {"random, short", 1.13}};
    for (const auto& c : cases) {
        const Bytes input = szddtest::sample(c.sample);
        ASSERT_FALSE(input.empty()) << c.sample;
        const Bytes packed = szddpack::pack(input.data(), input.size());
        const double ratio = double(packed.size() - szdd::kHeaderSize) / double(input.size());
        EXPECT_LE(ratio, c.atMost) << c.sample;
    }
}

// Damaged files: bit flips, cuts, overwritten spans and changed lengths, each
// checked against the plain reference decoder. Under the sanitizers this also
// proves that no read or write leaves its buffer.
TEST(DecompressSzdd, DamagedFilesNeverMisbehave) {
    std::mt19937 random(4096);
    std::vector<Bytes> seeds;
    for (const auto& sample : szddtest::samples()) {
        seeds.push_back(szddpack::pack(sample.bytes.data(), sample.bytes.size()));
    }
    int succeeded = 0;
    for (int round = 0; round < 6000; ++round) {
        Bytes f = seeds[random() % seeds.size()];
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !f.empty(); ++e) {
            const std::size_t at = random() % f.size();
            switch (random() % 5) {
                case 0:
                    f[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                    break;
                case 1:
                    f.resize(at);
                    break;
                case 2:
                    f[at] = static_cast<std::uint8_t>(random());
                    break;
                case 3:
                    if (f.size() >= 14) {
                        f[10 + random() % 4] = static_cast<std::uint8_t>(random());
                    }
                    break;
                default:
                    f.insert(f.begin() + static_cast<std::ptrdiff_t>(at),
                             static_cast<std::uint8_t>(random()));
            }
        }
        const auto out = DecompressSzdd(f.empty() ? nullptr : f.data(), f.size());
        if (f.size() <= 14 || !std::equal(f.begin(), f.begin() + 9, seeds[0].begin())) {
            ASSERT_EQ(out, std::nullopt);
            continue;
        }
        const Bytes all = szddtest::referenceExpand(f);
        const std::uint32_t declared = szddtest::declaredLength(f);
        if (all.size() >= declared && declared <= szdd::kMaxUnpackedLength) {
            ASSERT_TRUE(out.has_value()) << "round " << round;
            ASSERT_TRUE(std::equal(out->begin(), out->end(), all.begin(), all.begin() + declared));
            ASSERT_EQ(out->size(), declared);
            ++succeeded;
        } else {
            ASSERT_EQ(out, std::nullopt) << "round " << round;
        }
    }
    EXPECT_GT(succeeded, 100);  // the damage must not always be fatal, or little is tested
}

}  // namespace
