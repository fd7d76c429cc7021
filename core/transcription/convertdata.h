#pragma once

#include <array>
#include <string>

// The transcription settings as the engine receives them: flags 0-34 of the
// stored set, and the letters that never take the doubling tilde.
struct TConvertData {
    static constexpr int kFlagCount = 35;
    std::array<bool, kFlagCount> Flags{};
    std::string BrezTilde;
};

// Named indices of the flags, shared by every part of the program.
namespace flag {
enum : int {
    Th = 0,
    Dh = 1,
    DzCaron = 2,  // dž -> đ
    Sh = 3,
    Ld = 4,
    Nj = 5,
    Ng = 6,
    Rd = 7,
    Rh = 8,
    Lh = 9,
    Lj = 10,
    Zh = 11,
    Zz = 12,
    Ss = 13,
    FinalSilentE = 14,
    Ps = 15,
    AccentedSToPlain = 16,  // śŚźŹ -> sSzZ
    OuQuenya = 17,
    VowelsQuenya = 18,
    TestMin = 19,
    TestMed = 20,
    ZoomShown = 21,
    ZoomBold = 22,
    ZoomItalic = 23,
    Dz = 24,
    Gh = 25,
    SBeforeVowel = 26,      // śŚźŹ pred sam.
    SzBeforeTilde = 27,     // SźZŹ~ -> Śzzz~
    Nk = 28,
    Ts = 29,
    Ks = 30,
    AutoSaveRules = 31,
    AutoSaveDescriptions = 32,
    WaitForEnter = 33,
    ConvertCaps = 34,
};
}  // namespace flag
