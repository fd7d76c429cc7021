#pragma once

#include <string>
#include <vector>

// The built-in letter groups and tasks of "Opisi nalog", in Windows-1250.
// The settings store writes them when a stored list is missing, and the page's
// "Nazaj na privzete vrednosti" writes them back on request.

inline const std::vector<std::string> kDefaultLetterGroups = {
    "samoglasniki=aeiou",
    // b c č d đ D f g h j k l L m n N p q r ŕ R s S š t T v w x y Y z Z ž
    "soglasniki=bc\xE8"
    "d\xF0"
    "DfghjklLmnNpqr\xE0"
    "RsS\x9A"
    "tTvwxyYzZ\x9E",
};

inline const std::vector<std::string> kDefaultTaskDescriptions = {
    "Soglasniki=soglasniki",
    "Posamezne \xE8"
    "rke=samoglasniki|soglasniki",
    "Soglasnik + samoglasnik=soglasniki+samoglasniki",
    "Pari \xE8"
    "rk=soglasniki|samoglasniki+soglasniki|samoglasniki",
    "2 razli\xE8"
    "ni \xE8"
    "rki=soglasniki|samoglasniki+soglasniki|samoglasniki;1!2",
};
