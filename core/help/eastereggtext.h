#pragma once

#include <array>

// The line that glides through the hidden window: 111 groups in Tengwar and a
// closing greeting in five Latin groups, "Lep dan vam želimo!". The Tengwar is
// the Slovenian text below in lower case, names written as they sound (a
// capital letter is another sound in this transcription, and Č Š Ž have none),
// transcribed once with the default switches:
//   "tengwar so pisava vilinov, ki jo je izumil tolkin. ostrel vas uči brati
//   jih vsak dan malo, potrpežljivo in z veseljem. kdor vztraja, bo kmalu bral
//   vilinske črke tako hitro kot latinico. tudi ta vrstica, ki teče po valu, je
//   zapisana v tengwar. če jo lahko preberete, ste se naučili že veliko. zdaj
//   pa nazaj k nalogam: vsaka pravilno prebrana beseda je korak naprej na dolgi
//   poti čez gore in gozdove. srečno pot vsem popotnikom! "
// Each group is at most 5 characters; Tengwar groups are font codes and never
// begin with a zero-width mark, Latin groups are Windows-1250.
namespace eastereggtext {

enum class Face { Tengwar = 0, Latin = 1 };

struct Group {
    const char* text;
    Face face;
};

inline constexpr int kGroupCount = 116;

inline constexpr std::array<Group, kGroupCount> kGroups{{
    {"1^by%", Face::Tengwar}, {"7 ", Face::Tengwar}, {"*> ", Face::Tengwar}, {"q&*B", Face::Tengwar},
    {"r% ", Face::Tengwar}, {"r&j&", Face::Tengwar}, {"5Lr ", Face::Tengwar}, {"z& ", Face::Tengwar},
    {"h( ", Face::Tengwar}, {"h^ ", Face::Tengwar}, {"`MK?", Face::Tengwar}, {"tJj ", Face::Tengwar},
    {"1(jz&", Face::Tengwar}, {"5] ", Face::Tengwar}, {"`>*1", Face::Tengwar}, {"7^j ", Face::Tengwar},
    {"r%* ", Face::Tengwar}, {"`?a& ", Face::Tengwar}, {"w7%1&", Face::Tengwar}, {" ", Face::Tengwar},
    {"h&9 ", Face::Tengwar}, {"r*Bz ", Face::Tengwar}, {"2G5 ", Face::Tengwar}, {"tGj( ", Face::Tengwar},
    {"q(17", Face::Tengwar}, {"q^fm&", Face::Tengwar}, {"r( ", Face::Tengwar}, {"`M5 ", Face::Tengwar},
    {"K ", Face::Tengwar}, {"r^*N", Face::Tengwar}, {"m^t] ", Face::Tengwar}, {"z2L7 ", Face::Tengwar},
    {"rK17%", Face::Tengwar}, {"h% ", Face::Tengwar}, {"wL ", Face::Tengwar}, {"ztGj)", Face::Tengwar},
    {" ", Face::Tengwar}, {"w7%j ", Face::Tengwar}, {"r&j&5", Face::Tengwar}, {"*z^ ", Face::Tengwar},
    {"a7z^ ", Face::Tengwar}, {"1%z( ", Face::Tengwar}, {"9U17(", Face::Tengwar}, {" ", Face::Tengwar},
    {"z(1 ", Face::Tengwar}, {"j%1&", Face::Tengwar}, {"5J1(=", Face::Tengwar}, {"] ", Face::Tengwar},
    {"1)2J ", Face::Tengwar}, {"1% ", Face::Tengwar}, {"r7*1&", Face::Tengwar}, {"1%= ", Face::Tengwar},
    {"z& ", Face::Tengwar}, {"1^a^ ", Face::Tengwar}, {"q( ", Face::Tengwar}, {"r%j) ", Face::Tengwar},
    {"h^ ", Face::Tengwar}, {"KBq&", Face::Tengwar}, {"*B5G ", Face::Tengwar}, {"r ", Face::Tengwar},
    {"1^by%", Face::Tengwar}, {"7] ", Face::Tengwar}, {"a^ ", Face::Tengwar}, {"h( ", Face::Tengwar},
    {"j%9z(", Face::Tengwar}, {" ", Face::Tengwar}, {"q7^wH", Face::Tengwar}, {"7^1^ ", Face::Tengwar},
    {"*1^ ", Face::Tengwar}, {"*N ", Face::Tengwar}, {"5G`?", Face::Tengwar}, {"a&j& ", Face::Tengwar},
    {"fH ", Face::Tengwar}, {"r^j&", Face::Tengwar}, {"z(] ", Face::Tengwar}, {"K2Gh ", Face::Tengwar},
    {"q% ", Face::Tengwar}, {"5GKBh", Face::Tengwar}, {" ", Face::Tengwar}, {"z ", Face::Tengwar},
    {"5Gj(", Face::Tengwar}, {"xGt[ ", Face::Tengwar}, {"r*Bz%", Face::Tengwar}, {" ", Face::Tengwar},
    {"q7%r&", Face::Tengwar}, {"j5L ", Face::Tengwar}, {"q7^w", Face::Tengwar}, {"7%5G ", Face::Tengwar},
    {"wH*N", Face::Tengwar}, {"2G ", Face::Tengwar}, {"h^ ", Face::Tengwar}, {"z(7%z", Face::Tengwar},
    {" ", Face::Tengwar}, {"5Gq7^", Face::Tengwar}, {"h ", Face::Tengwar}, {"5G ", Face::Tengwar},
    {"2LjxJ", Face::Tengwar}, {" ", Face::Tengwar}, {"q(1& ", Face::Tengwar}, {"a^K ", Face::Tengwar},
    {"xL7^ ", Face::Tengwar}, {"`M5 ", Face::Tengwar}, {"xLK2L", Face::Tengwar}, {"r^] ", Face::Tengwar},
    {"*7^a", Face::Tengwar}, {"5L ", Face::Tengwar}, {"q(1 ", Face::Tengwar}, {"r*Nt ", Face::Tengwar},
    {"q(q(1", Face::Tengwar}, {"5Jz(t", Face::Tengwar}, {" ", Face::Tengwar},
    {"Lep ", Face::Latin}, {"dan ", Face::Latin}, {"vam ", Face::Latin}, {"\x9E" "eli", Face::Latin},
    {"mo!", Face::Latin},
}};

}  // namespace eastereggtext
