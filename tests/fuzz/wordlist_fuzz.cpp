// libFuzzer target for the dictionary's reading: any bytes, in any of the
// character sets an affix file may name, give a sorted list of distinct words
// that each suit the drills, and the damage check answers without a fault.

#include <algorithm>
#include <cstdlib>

#include "core/words/wordlist.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const words::DicCharset charsets[] = {words::DicCharset::Latin1, words::DicCharset::Latin2,
                                          words::DicCharset::Cp1250, words::DicCharset::Utf8};
    const words::DicCharset charset = charsets[input.byte() % 4];
    // A copy of exactly the text's size, so that reading past it is caught.
    const std::string dic(input.rest());
    std::size_t entries = 0;
    const words::WordList list = words::parseDictionary(dic, charset, &entries);
    (void)words::dictionaryDamaged(dic, entries, list.size());
    (void)words::charsetOfAffixes(dic);
    if (list.size() > entries) {
        std::abort();
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!words::suitsDrill(list[i]) || (i > 0 && !(list[i - 1] < list[i]))) {
            std::abort();
        }
    }
    return 0;
}
