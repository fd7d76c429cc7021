#include "core/words/wordlist.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <array>
#include <iterator>
#include <numeric>

#include "core/convert/regularfile.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/cp1250checked.h"
#include "core/words/wordtext.h"

namespace words {

namespace {

// Latin-2 and Windows-1250 share every letter but these: the Latin-2 byte and
// the Windows-1250 byte of the same letter.
constexpr std::pair<unsigned char, unsigned char> kLatin2Differences[] = {
    {0xA1, 0xA5}, {0xA5, 0xBC}, {0xA6, 0x8C}, {0xA9, 0x8A}, {0xAB, 0x8D}, {0xAC, 0x8F}, {0xAE, 0x8E},
    {0xB1, 0xB9}, {0xB5, 0xBE}, {0xB6, 0x9C}, {0xB9, 0x9A}, {0xBB, 0x9D}, {0xBC, 0x9F}, {0xBE, 0x9E},
};

// Latin-2 bytes to Windows-1250 (0: a character that has no place there or
// is no letter).
constexpr std::array<unsigned char, 256> makeLatin2Table() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 0x80; ++c)
        table[c] = static_cast<unsigned char>(c);
    for (int c = 0xC0; c < 0x100; ++c)
        table[c] = static_cast<unsigned char>(c);
    for (const int c : {0xA3, 0xAA, 0xAF, 0xB3, 0xBA, 0xBF})  // Ł Ş Ż ł ş ż
        table[c] = static_cast<unsigned char>(c);
    for (const auto& [latin2, cp1250] : kLatin2Differences)
        table[latin2] = cp1250;
    return table;
}

constexpr auto kLatin2 = makeLatin2Table();

// Only a regular file is read: a named pipe under the name would hold the
// open, a device give bytes without end.
bool readFile(const std::string& path, std::string& bytes) {
    int error = 0;
    const int fd = openRegularFile(path, error);
    if (fd < 0)
        return false;
    bytes.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

bool toCp1250(std::string_view stem, DicCharset charset, std::string& out) {
    out.clear();
    switch (charset) {
        case DicCharset::Utf8:
            return !cp1250::appendFromUtf8(stem, out, false).has_value();
        case DicCharset::Cp1250:
            out.assign(stem);
            return true;
        case DicCharset::Latin2:
            for (const char c : stem) {
                const unsigned char mapped = kLatin2[static_cast<unsigned char>(c)];
                if (mapped == 0)
                    return false;
                out += static_cast<char>(mapped);
            }
            return true;
        case DicCharset::Latin1:
            for (const char c : stem) {
                const int mapped = cp1250::fromUnicode(static_cast<unsigned char>(c));
                if (mapped < 0)
                    return false;
                out += static_cast<char>(mapped);
            }
            return true;
    }
    return false;
}

}  // namespace

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

void WordList::sortUnique() {
    std::vector<std::uint32_t> order(size());
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) { return (*this)[a] < (*this)[b]; });
    WordList sorted;
    sorted.m_chars.reserve(m_chars.size());
    sorted.m_ends.reserve(m_ends.size());
    std::string_view previous;
    bool first = true;
    for (const std::uint32_t i : order) {
        const std::string_view word = (*this)[i];
        if (!first && word == previous)
            continue;
        sorted.add(word);
        previous = word;
        first = false;
    }
    sorted.m_chars.shrink_to_fit();
    sorted.m_ends.shrink_to_fit();
    *this = std::move(sorted);
}

bool WordList::contains(std::string_view word) const {
    std::size_t low = 0;
    std::size_t high = size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if ((*this)[middle] < word)
            low = middle + 1;
        else
            high = middle;
    }
    return low < size() && (*this)[low] == word;
}

bool suitsDrill(std::string_view lowerWord) {
    return lowerWord.size() >= kMinLetters && lowerWord.size() <= kMaxLetters &&
           std::all_of(lowerWord.begin(), lowerWord.end(),
                       [](char c) { return isLower(static_cast<unsigned char>(c)); }) &&
           writable(lowerWord);
}

DicCharset charsetOfAffixes(std::string_view affixText) {
    std::size_t at = 0;
    while (at < affixText.size()) {
        std::size_t end = affixText.find('\n', at);
        if (end == std::string_view::npos)
            end = affixText.size();
        const std::string_view line = trimmed(affixText.substr(at, end - at));
        at = end + 1;
        if (line.substr(0, 4) != "SET " && line.substr(0, 4) != "SET\t")
            continue;
        std::string name;
        for (const char c : trimmed(line.substr(4))) {
            if (c != '-' && c != '_')
                name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
        }
        if (name == "UTF8")
            return DicCharset::Utf8;
        if (name == "ISO88592")
            return DicCharset::Latin2;
        if (name == "CP1250" || name == "WINDOWS1250" || name == "MICROSOFTCP1250")
            return DicCharset::Cp1250;
        return DicCharset::Latin1;
    }
    return DicCharset::Latin1;
}

WordList parseDictionary(std::string_view dicText, DicCharset charset, std::size_t* entries) {
    WordList list;
    std::size_t lines = 0;
    std::string word;
    std::size_t at = 0;
    bool firstLine = true;
    while (at < dicText.size()) {
        std::size_t end = dicText.find('\n', at);
        if (end == std::string_view::npos)
            end = dicText.size();
        std::string_view line = dicText.substr(at, end - at);
        at = end + 1;
        if (firstLine) {
            firstLine = false;
            // The count of entries; a file without one starts with a word.
            const std::string_view count = trimmed(line);
            if (!count.empty() &&
                std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
        }
        // The stem ends at its flags ("/"), its morphology (a tab or blank)
        // or the line's end.
        if (!trimmed(line).empty())
            ++lines;
        const std::size_t stemEnd = line.find_first_of("/\t \r");
        const std::string_view stem = line.substr(0, stemEnd);
        if (stem.empty() || stem.size() > 4 * kMaxLetters)
            continue;
        if (!toCp1250(stem, charset, word) || !suitsDrill(word))
            continue;
        list.add(word);
    }
    list.sortUnique();
    if (entries != nullptr)
        *entries = lines;
    return list;
}

bool dictionaryDamaged(std::string_view dicText, std::size_t entries, std::size_t words) {
    return dicText.find('\0') != std::string_view::npos || (entries >= kFewestEntriesJudged && words * 20 < entries);
}

std::optional<WordList> readDictionary(const std::string& dicPath, bool* damaged) {
    if (damaged != nullptr)
        *damaged = false;
    std::string dic;
    if (!readFile(dicPath, dic))
        return std::nullopt;
    std::string affixes;
    const std::size_t dot = dicPath.rfind('.');
    const std::size_t slash = dicPath.rfind('/');
    const std::string stem =
        dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dicPath.substr(0, dot) : dicPath;
    readFile(stem + ".aff", affixes);
    std::size_t entries = 0;
    WordList list = parseDictionary(dic, charsetOfAffixes(affixes), &entries);
    if (dictionaryDamaged(dic, entries, list.size())) {
        if (damaged != nullptr)
            *damaged = true;
        return std::nullopt;
    }
    return list;
}

}  // namespace words
