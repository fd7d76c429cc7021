#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A list of words packed into one buffer: Windows-1250, small letters, each
// word once.
namespace words {

// The lengths of the words the drills use, in letters.
inline constexpr std::size_t kMinLetters = 2;
inline constexpr std::size_t kMaxLetters = 12;

// A line of a word file without the blanks, tabs and carriage return around it.
std::string_view trimmed(std::string_view text);

class WordList {
public:
    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::uint32_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(m_chars).substr(begin, m_ends[i] - begin);
    }
    void add(std::string_view word) {
        m_chars += word;
        m_ends.push_back(static_cast<std::uint32_t>(m_chars.size()));
    }
    // Sorts the words and drops repeats.
    void sortUnique();
    // Whether a sorted list holds the word.
    bool contains(std::string_view word) const;
    std::size_t bytes() const { return m_chars.capacity() + m_ends.capacity() * sizeof(std::uint32_t); }

private:
    std::string m_chars;
    std::vector<std::uint32_t> m_ends;
};

// Whether a word in small letters suits the drills: 2-12 letters, every one
// written by the transcription.
bool suitsDrill(std::string_view lowerWord);

// The character set that a Hunspell affix file names in its SET line
// ("ISO8859-2" when it names none it is Latin-1 by Hunspell's rule).
enum class DicCharset { Latin1, Latin2, Cp1250, Utf8 };
DicCharset charsetOfAffixes(std::string_view affixText);

// The stems of a Hunspell dictionary (.dic) that suit the drills: the part of
// each line before its flags, words in small letters only (names and
// abbreviations are left out), taken into Windows-1250. The first line, the
// count, is skipped. entries, when given, receives how many lines after the
// count hold anything.
WordList parseDictionary(std::string_view dicText, DicCharset charset, std::size_t* entries = nullptr);

// Whether a dictionary's text is no word list (a damaged or wrong file that
// would be drilled as random letters): it holds NUL bytes, or of at least
// kFewestEntriesJudged entries fewer than one in twenty gave a word. In
// Debian's Slovene dictionary more than half do.
inline constexpr std::size_t kFewestEntriesJudged = 20;
bool dictionaryDamaged(std::string_view dicText, std::size_t entries, std::size_t words);

// Reads a dictionary file (a regular file only) and the affix file beside it
// (the same name with ".aff", for its character set). Nothing when the
// dictionary cannot be read, or is damaged (then *damaged is set).
std::optional<WordList> readDictionary(const std::string& dicPath, bool* damaged = nullptr);

}  // namespace words
