#include "core/transcription/alphabet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

#include "core/transcription/cp1250.h"
#include "core/transcription/lettersets.h"
#include "referenceglyphs.h"

namespace {

std::string bytes(const char* utf8) {
    return cp1250::fromUtf8(utf8);
}

TEST(Alphabet, RuleLettersAreTheSeventySixLettersInOrder) {
    const std::string expected =
        bytes("aáAbcCčdđDeéEěĚęëËfgGhHiíIjJkKlLmMnNńŃoóOpPçqrŕRsśSŚštTuúUüůvwWxyYzźZŹžŽ_ .:");
    ASSERT_EQ(expected.size(), 76U);
    EXPECT_EQ(alphabet::ruleLetters(), expected);
}

TEST(Alphabet, EveryByteHasTheGlyphOfTheReferenceTable) {
    const auto reference = referenceGlyphs();
    EXPECT_EQ(std::count_if(reference.begin(), reference.end(), [](const auto& s) { return !s.empty(); }),
              76);
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(alphabet::glyph(static_cast<unsigned char>(b)), reference[static_cast<std::size_t>(b)])
            << "byte " << std::hex << b;
    }
}

TEST(Alphabet, LettersWithoutAGlyphOfTheirOwnYieldNothing) {
    for (const char letter : bytes("ëËHJKńŃPüŽ_~0")) {
        EXPECT_TRUE(alphabet::glyph(letter).empty()) << cp1250::toUtf8(std::string(1, letter));
    }
    EXPECT_EQ(alphabet::glyph(':'), alphabet::glyph('Y'));
    EXPECT_EQ(alphabet::glyph('W'), ".");
    EXPECT_EQ(alphabet::glyph('.'), "]");
}

TEST(Alphabet, MeaningTexts) {
    const struct {
        const char* letter;
        const char* meaning;
    } cases[] = {
        {"u", "u"},
        {"ů", "nezveneč w\r(vstaviti)"},
        {"C", "dz (zveneči\rpar c-ja)"},
        {"_", "(loči par črk)"},
        {" ", "(presledek)"},
        {":", "okrasek\r(dve piki)"},
        {"Ž", "ž (tudi v\rkombinacijah)"},
        {"1", ""},
        {"Î", ""},  // internal letters are not explained
        {"»", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(alphabet::meaning(bytes(c.letter).at(0)), bytes(c.meaning)) << c.letter;
    }
    for (const char letter : alphabet::ruleLetters()) {
        EXPECT_FALSE(alphabet::meaning(letter).empty());
    }
}

TEST(LetterSets, SizesAndSpotChecks) {
    const struct {
        letterset::Set set;
        int size;
    } sizes[] = {
        {letterset::Kept, 56},    {letterset::Vowel, 5},      {letterset::Consonant, 45},
        {letterset::Bearer, 47},  {letterset::Doublable, 44}, {letterset::VowelOrSilentE, 6},
        {letterset::MarkA, 22},   {letterset::MarkB, 4},      {letterset::MarkC, 16},
        {letterset::SilentE, 24}, {letterset::TildeA, 8},     {letterset::TildeB, 20},
        {letterset::TildeC, 6},   {letterset::Overlay, 26},   {letterset::InnerOverlay, 23},
    };
    for (const auto& s : sizes) {
        int count = 0;
        for (int b = 0; b < 256; ++b) {
            count += letterset::contains(s.set, static_cast<unsigned char>(b)) ? 1 : 0;
        }
        EXPECT_EQ(count, s.size) << "set bit " << s.set;
        EXPECT_FALSE(letterset::contains(s.set, 0));
    }
    EXPECT_FALSE(letterset::contains(letterset::Doublable, 'Y'));
    EXPECT_TRUE(letterset::contains(letterset::Bearer, bytes("î").at(0)));
    EXPECT_FALSE(letterset::contains(letterset::Consonant, bytes("Î").at(0)));
    EXPECT_TRUE(letterset::contains(letterset::InnerOverlay, '~'));
    EXPECT_FALSE(letterset::contains(letterset::InnerOverlay, bytes("›").at(0)));
    // The three mark classes and the three tilde classes do not overlap.
    for (int b = 0; b < 256; ++b) {
        const auto bits = letterset::kMembership[static_cast<std::size_t>(b)];
        EXPECT_LE(std::popcount(
                      static_cast<unsigned>(bits & (letterset::MarkA | letterset::MarkB | letterset::MarkC))),
                  1)
            << b;
        EXPECT_LE(std::popcount(static_cast<unsigned>(
                      bits & (letterset::TildeA | letterset::TildeB | letterset::TildeC))),
                  1)
            << b;
    }
}

}  // namespace
