#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "transcription/convertdata.h"

// One line of Latin text (Windows-1250) given in parts of any size, written
// out as font codes while it comes: the same bytes as LatinToTengwar gives
// for the whole line, in memory that does not grow with the line.
//
// The folding (pass 1) runs as the letters come, carrying its one letter of
// look-ahead; its letters are then transcribed in pieces cut between two
// letters that no later rule looks across (see the cuts in enginestream.cpp).
class LineTranscriber {
public:
    // settings are used as given (not read from the settings source). Letters
    // are transcribed once pieceLetters of them wait (tests make it small).
    LineTranscriber(const TConvertData& settings, bool raw, std::size_t pieceLetters = std::size_t{64} << 10);
    ~LineTranscriber();
    LineTranscriber(const LineTranscriber&) = delete;
    LineTranscriber& operator=(const LineTranscriber&) = delete;

    // Takes the next part of the line; appends to out the font codes of
    // what no later letter can change any more.
    void add(std::string_view latin, std::string& out);
    // The line has ended: appends the rest and starts a new line.
    void finish(std::string& out);

    // Letters held back, waiting for a place to cut (for tests).
    std::size_t heldBack() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
