#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/transcription/convertdata.h"

// One line of Latin text (Windows-1250) given in parts of any size, written
// out as font codes while it comes: the same bytes as LatinToTengwar gives
// for the whole line, in memory that does not grow with the line.
//
// The folding (pass 1) runs as the letters come, carrying its one letter of
// look-ahead; its letters are then transcribed in pieces cut between two
// letters that no later rule looks across (see the cuts in enginestream.cpp).
// A long stretch with no such place is a repetition of a few letters (a run
// of one vowel, "tatata"); it is counted instead of kept, and its codes,
// which repeat with it, are written out when it ends.
class LineTranscriber {
public:
    // Receives the font codes in order, in parts of at most a few megabytes.
    using Sink = std::function<void(std::string_view codes)>;

    // settings are used as given (not read from the settings source). Letters
    // are transcribed once pieceLetters of them wait (tests make it small).
    LineTranscriber(const TConvertData& settings, bool raw, Sink sink,
                    std::size_t pieceLetters = std::size_t{64} << 10);
    ~LineTranscriber();
    LineTranscriber(const LineTranscriber&) = delete;
    LineTranscriber& operator=(const LineTranscriber&) = delete;

    // Takes the next part of the line; gives the sink the font codes of what
    // no later letter can change any more.
    void add(std::string_view latin);
    // The line has ended: gives the sink the rest and starts a new line.
    void finish();

    // The most letters held in memory at once so far (for tests).
    std::size_t mostHeld() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
