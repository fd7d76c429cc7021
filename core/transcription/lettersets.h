#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The letter sets by which the transcription decides what a letter does: one
// 256-entry membership table built at compile time, one bit per set. Bytes are
// Windows-1250; NUL belongs to no set.
namespace letterset {

enum Set : std::uint16_t {
    Kept = 1U << 0,            // kept as they are by the folding
    Vowel = 1U << 1,           // a e i o u
    Consonant = 1U << 2,       // bear a vowel mark that follows them (Sindarin)
    Bearer = 1U << 3,          // the consonants and the two carriers (Quenya)
    Doublable = 1U << 4,       // the consonants without Y: may take the doubling tilde
    VowelOrSilentE = 1U << 5,  // a e i o u ě
    MarkA = 1U << 6,           // vowel marks in column A after these
    MarkB = 1U << 7,           // column B
    MarkC = 1U << 8,           // column C
    SilentE = 1U << 9,         // silent e keeps its plain form after these
    TildeA = 1U << 10,         // tilde »
    TildeB = 1U << 11,         // tilde ›
    TildeC = 1U << 12,         // tilde «
    Overlay = 1U << 13,        // zero-width marks placed over the glyph before them
    InnerOverlay = 1U << 14,   // marks that may follow a mark inside a two-glyph letter
};

struct Definition {
    Set set;
    std::string_view letters;
};

// The members of each set, as Windows-1250 bytes.
inline constexpr std::array<Definition, 15> kDefinitions = {{
    // space . : C D G L M N R S T W Y Z a-z Ś Ź š ś ž ź Î ŕ ç č ę ě î đ ů
    {Kept,
     " .:CDGLMNRSTWYZabcdefghijklmnopqrstuvwxyz\x8C\x8F\x9A\x9C\x9E\x9F\xCE\xE0\xE7\xE8\xEA\xEC\xEE\xF0\xF9"},
    {Vowel, "aeiou"},
    // C D G L M N R S T W Y Z b c d f g h j k l m n p q r s t v w x y z Ś Ź š ś ž ź ŕ ç č ę đ ů
    {Consonant, "CDGLMNRSTWYZbcdfghjklmnpqrstvwxyz\x8C\x8F\x9A\x9C\x9E\x9F\xE0\xE7\xE8\xEA\xF0\xF9"},
    // the consonants, Î and î
    {Bearer, "CDGLMNRSTWYZbcdfghjklmnpqrstvwxyz\x8C\x8F\x9A\x9C\x9E\x9F\xE0\xE7\xE8\xEA\xF0\xF9\xCE\xEE"},
    // the consonants without Y
    {Doublable, "CDGLMNRSTWZbcdfghjklmnpqrstvwxyz\x8C\x8F\x9A\x9C\x9E\x9F\xE0\xE7\xE8\xEA\xF0\xF9"},
    {VowelOrSilentE, "aeiou\xEC"},                           // a e i o u ě
    {MarkA, "LRSWZcjklprtvwx\x8C\x8F\xE0\xE7\xE8\xEA\xF9"},  // ... Ś Ź ŕ ç č ę ů
    {MarkB, "Tfhy"},
    {MarkC, "CDGMNbdgmnq\x9A\x9C\x9E\x9F\xF0"},                     // ... š ś ž ź đ
    {SilentE, "LRTWfhjlpqrstwyz\x8C\x9A\x9C\x9F\xE0\xE7\xEA\xF9"},  // ... Ś š ś ź ŕ ç ę ů
    {TildeA, "DGMNmnv\x9E"},                                        // ... ž
    {TildeB, "RSWZfhjqrstwyz\x8F\x9A\x9C\xE0\xEA\xF9"},             // ... Ź š ś ŕ ę ů
    {TildeC, "Cbdg\x9F\xF0"},                                       // ... ź đ
    // A E I O U a e i o u ‹ › « » Á É Ě Í Ó Ú á é ě í ó ú
    {Overlay, "AEIOUaeiou\x8B\x9B\xAB\xBB\xC1\xC9\xCC\xCD\xD3\xDA\xE1\xE9\xEC\xED\xF3\xFA"},
    // A E I O U a e i o u ~ Á É Ě Í Ó Ú á é ě í ó ú
    {InnerOverlay, "AEIOUaeiou~\xC1\xC9\xCC\xCD\xD3\xDA\xE1\xE9\xEC\xED\xF3\xFA"},
}};

constexpr std::array<std::uint16_t, 256> makeMembership() {
    std::array<std::uint16_t, 256> table{};
    for (const auto& definition : kDefinitions) {
        for (const char letter : definition.letters) {
            auto& bits = table[static_cast<unsigned char>(letter)];
            bits = static_cast<std::uint16_t>(bits | definition.set);
        }
    }
    return table;
}

inline constexpr std::array<std::uint16_t, 256> kMembership = makeMembership();

constexpr bool contains(Set set, unsigned char letter) {
    return (kMembership[letter] & set) != 0;
}

// The members of one set.
constexpr std::string_view lettersOf(Set set) {
    for (const auto& definition : kDefinitions) {
        if (definition.set == set) {
            return definition.letters;
        }
    }
    return {};
}

// The form of the doubling tilde that fits the letter it doubles.
constexpr char tildeForm(unsigned char bearer) {
    const auto classes = kMembership[bearer];
    return (classes & TildeA)   ? '\xBB'   // »
           : (classes & TildeB) ? '\x9B'   // ›
           : (classes & TildeC) ? '\xAB'   // «
                                : '\x8B';  // ‹
}

}  // namespace letterset
