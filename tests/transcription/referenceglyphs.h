#pragma once

#include <array>
#include <sstream>
#include <string>

#include "core/transcription/cp1250.h"

// The font codes of every letter, written out independently of the program's
// own table: pairs of letter and codes, UTF-8. The space (code 20) is added
// separately.
inline std::array<std::string, 256> referenceGlyphs() {
    static const char* const kPairs =
        "a % á T A G b w c 1= C 2= č a d 2 đ s D 4 e ^ é Y E H ě 0 Ě p ę n f e g x G v h 9 "
        "i & í U I J j h k z l j L m m t M g n 5 N b o ( ó O O L p q ç q= q c r 7 ŕ u R 6 "
        "s * ś 8 S I Ś i š d t 1 T 3 u ) ú P U : ů o v r w y W . x z\\ y l Y [ z K ź k Z < "
        "Ź , ž f . ] : [ Á B É N Í M Ó > Ú ? Î ~ î ` ‹ X › S « Z » A";
    std::array<std::string, 256> table;
    std::istringstream pairs(cp1250::fromUtf8(kPairs));
    std::string letter;
    std::string codes;
    while (pairs >> letter >> codes) {
        table[static_cast<unsigned char>(letter.at(0))] = codes;
    }
    table[' '] = " ";
    return table;
}
