#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/convert/convertrun.h"
#include "core/convert/rtfwriter.h"

class InputFile;

// What a reading of a text file as UTF-8 found.
struct Utf8Survey {
    bool byteOrderMark = false;
    bool multiByte = false;             // a character of more than one byte was met
    std::optional<TextPlace> invalid;   // the first bytes that are not UTF-8; the reading ended there
    std::vector<TextPlace> unmappable;  // the first characters Windows-1250 lacks
    std::uint64_t unmappableCount = 0;  // all of them
    bool stopped = false;               // a stop was asked for before the end

    // A file is UTF-8 when it starts with a byte order mark, or when it is
    // UTF-8 throughout and holds at least one multi-byte character (a
    // Windows-1250 text with any letter above ASCII never is). Any other file
    // is Windows-1250; a pure ASCII text reads the same either way.
    bool isUtf8() const { return byteOrderMark || (!invalid && multiByte); }
};

// Reads the file from its start to its end, or to the first bytes that are
// not UTF-8, through the checked decoder, in pieces (never the whole file in
// memory). Names up to `named` characters Windows-1250 lacks, with line (by
// LF) and column (in characters) from 1; the byte order mark is no column.
// Stops early when a stop is asked for; tells the control how far it has read.
Utf8Survey surveyUtf8(InputFile& input, ConvertControl& control, std::size_t named = 5);

// The length of the longest start of the bytes that ends between whole
// characters: at most three bytes of a character that goes on in the next
// piece are left out.
std::size_t completeUtf8Prefix(std::string_view bytes);

// Whether the bytes start with the UTF-8 byte order mark.
bool startsWithByteOrderMark(std::string_view bytes);
