// Collects every distinct cluster of font codes that the transcription writes
// for the words of the Slovene dictionary, as the program loads it, and of the
// help texts, under several switch sets, and writes them as the font's test data.
//
//   collectclusters --help-dir resources/help --out tests/resources/fontclusters.txt
//                [--dictionary /usr/share/hunspell/sl_SI.dic]

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "tools/fontclusters.h"

int main(int argc, char** argv) {
    std::string dictionary = "/usr/share/hunspell/sl_SI.dic";
    std::string helpDir;
    std::string out;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--dictionary") == 0) {
            dictionary = argv[i + 1];
        } else if (std::strcmp(argv[i], "--help-dir") == 0) {
            helpDir = argv[i + 1];
        } else if (std::strcmp(argv[i], "--out") == 0) {
            out = argv[i + 1];
        }
    }
    if (helpDir.empty() || out.empty()) {
        std::fprintf(stderr, "usage: collectclusters --help-dir DIR --out FILE [--dictionary FILE.dic]\n");
        return 2;
    }
    const auto words = words::readDictionary(dictionary);
    if (!words) {
        std::fprintf(stderr, "collectclusters: cannot read %s (Debian package hunspell-sl)\n", dictionary.c_str());
        return 1;
    }
    const std::vector<std::string> textWords = fontclusters::wordsOfHelp(helpDir);
    if (textWords.empty()) {
        std::fprintf(stderr, "collectclusters: no help texts in %s\n", helpDir.c_str());
        return 1;
    }
    const auto counts = fontclusters::collect(*words, textWords);
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file << fontclusters::format(counts);
    if (!file.flush()) {
        std::fprintf(stderr, "collectclusters: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%zu words of the dictionary, %zu of the help: %zu clusters\n", words->size(), textWords.size(),
                counts.size());
    return 0;
}
