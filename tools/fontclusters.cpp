#include "tools/fontclusters.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/transcription/alphabet.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/flagset.h"
#include "core/transcription/lettersets.h"
#include "core/words/wordtext.h"

namespace fontclusters {

namespace {

TConvertData defaults() {
    TConvertData settings;
    const FlagBytes bytes = flagset::withDefaultSwitches(flagset::kDefaultBytes);
    for (int i = 0; i < TConvertData::kFlagCount; ++i) {
        settings.Flags[static_cast<std::size_t>(i)] = flagset::get(bytes, i);
    }
    return settings;
}

SwitchSet changed(std::string name, std::initializer_list<std::pair<int, bool>> changes) {
    SwitchSet set{std::move(name), defaults()};
    for (const auto& [index, value] : changes) {
        set.settings.Flags[static_cast<std::size_t>(index)] = value;
    }
    return set;
}

// What a code does in a cluster: it stands on the letter before it (a mark),
// it ends that letter (the s-hook, the second code of a two-code letter), or
// it begins a cluster of its own.
enum class Role : unsigned char { Begins, Mark, Ends };

std::array<Role, 256> makeRoles() {
    std::array<Role, 256> roles{};
    roles.fill(Role::Begins);
    for (int letter = 0; letter < 256; ++letter) {
        const std::string_view codes = alphabet::glyph(static_cast<unsigned char>(letter));
        if (codes.size() == 2) {
            roles[static_cast<unsigned char>(codes[1])] = Role::Ends;
        }
    }
    for (const char letter : letterset::lettersOf(letterset::Overlay)) {
        for (const char code : alphabet::glyph(letter)) {
            roles[static_cast<unsigned char>(code)] = Role::Mark;
        }
    }
    return roles;
}

const std::array<Role, 256>& roles() {
    static const std::array<Role, 256> table = makeRoles();
    return table;
}

// The letters written with the s-hook (c, dz, ps, x), doubled between vowels:
// Slovene words hardly double them, but a reader meets them in names and
// foreign words ("lecce"), and there the tilde meets the hook.
std::vector<std::string> doubledHookedLetters() {
    std::vector<std::string> found;
    for (const char* pair : {"cc", "dzdz", "psps", "xx"}) {
        for (const char vowel : std::string_view("aeiou")) {
            found.push_back(std::string(1, vowel) + pair + vowel);
        }
        found.push_back(std::string("le") + pair + "e");
    }
    return found;
}

}  // namespace

bool isMark(char code) {
    return roles()[static_cast<unsigned char>(code)] == Role::Mark;
}

std::vector<SwitchSet> switchSets() {
    return {
        changed("privzeto", {}),
        changed("nemi e na koncu", {{flag::FinalSilentE, true}}),
        changed("znaki za samoglasnike po sindarinsko", {{flag::VowelsQuenya, false}}),
        changed("o in u kot v kvenjajščini izklopljeno", {{flag::OuQuenya, false}}),
        changed("vsi pari in s pred samoglasnikom",
                {{flag::Sh, true}, {flag::Ld, true}, {flag::Rh, true}, {flag::Lh, true}, {flag::Zh, true},
                 {flag::Ps, true}, {flag::Ts, true}, {flag::Ks, true}, {flag::SBeforeVowel, true}}),
    };
}

void countClusters(std::string_view codes, std::map<std::string, long>& counts) {
    std::string cluster;
    const auto close = [&] {
        if (!cluster.empty()) {
            ++counts[cluster];
            cluster.clear();
        }
    };
    for (const char code : codes) {
        if (code == ' ') {
            close();
            continue;
        }
        if (roles()[static_cast<unsigned char>(code)] == Role::Begins) {
            close();
        }
        cluster += code;
    }
    close();
}

std::vector<std::string> wordsOfText(std::string_view utf8) {
    const std::string text = cp1250::fromUtf8(utf8);
    std::vector<std::string> found;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && !words::isLetter(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
        std::size_t end = at;
        while (end < text.size() && words::isLetter(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        std::string word = words::lowered(std::string_view(text).substr(at, end - at));
        if (words::suitsDrill(word)) {
            found.push_back(std::move(word));
        }
        at = end;
    }
    return found;
}

std::vector<std::string> wordsOfHelp(const std::string& dir) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        if (entry.path().extension() == ".txt") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> found;
    for (const auto& path : files) {
        std::ifstream file(path, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        for (std::string& word : wordsOfText(text)) {
            found.push_back(std::move(word));
        }
    }
    return found;
}

std::map<std::string, long> collect(const words::WordList& dictionary, const std::vector<std::string>& textWords) {
    std::map<std::string, long> counts;
    const std::vector<std::string> doubled = doubledHookedLetters();
    std::string codes;
    for (SwitchSet& set : switchSets()) {
        for (std::size_t i = 0; i < dictionary.size(); ++i) {
            LatinToTengwar(dictionary[i], false, set.settings, true, codes);
            countClusters(codes, counts);
        }
        for (const auto* list : {&textWords, &doubled}) {
            for (const std::string& word : *list) {
                LatinToTengwar(word, false, set.settings, true, codes);
                countClusters(codes, counts);
            }
        }
    }
    return counts;
}

std::string format(const std::map<std::string, long>& counts) {
    std::vector<std::pair<std::string, long>> rows(counts.begin(), counts.end());
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string out =
        "# The clusters of font codes that the transcription writes for the words of the Slovene\n"
        "# dictionary (hunspell-sl) and of the help, and for c, dz, ps and x doubled, under the default\n"
        "# switches and a few other sets.\n"
        "# Made by tools/fontclustersmain.cpp (cmake --build build --target fontclusters); do not edit.\n"
        "# A line: the cluster's codes, a tab, how often it was written; the commonest first.\n";
    for (const auto& [cluster, count] : rows) {
        out += cluster;
        out += '\t';
        out += std::to_string(count);
        out += '\n';
    }
    return out;
}

std::vector<std::string> parse(std::string_view file) {
    std::vector<std::string> clusters;
    std::size_t at = 0;
    while (at < file.size()) {
        std::size_t end = file.find('\n', at);
        if (end == std::string_view::npos) {
            end = file.size();
        }
        const std::string_view line = file.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line.substr(0, 2) == "# ") {
            continue;
        }
        clusters.emplace_back(line.substr(0, line.find('\t')));
    }
    return clusters;
}

}  // namespace fontclusters
