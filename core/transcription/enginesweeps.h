#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "core/transcription/convertdata.h"

// The transcription in three sweeps instead of eleven passes: folding; double
// vowels, carriers and tildes; mark and tilde forms. The passes that are
// seldom switched on (5 and 6) and pass 7, which has work only where a Y
// stands, still run on their own between the second and the third sweep. The
// output is byte for byte that of the passes one by one.
namespace engine {

// Scratch buffers of one thread, reused from call to call.
class SweepBuffers {
public:
    // Two buffers of at least size bytes each; what they held is lost when
    // they grow.
    void reserve(std::size_t size);
    char* text() { return m_text.get(); }
    char* spare() { return m_spare.get(); }
    std::size_t capacity() const { return m_capacity; }
    // Lets go of buffers grown above limit bytes.
    void trim(std::size_t limit);

    std::string withY;  // the text after pass 7, when a Y gave it work

private:
    std::unique_ptr<char[]> m_text;
    std::unique_ptr<char[]> m_spare;
    std::size_t m_capacity = 0;
};

// Transcribes source, appending the font codes to result. A long source is
// taken in pieces cut after a space, where no rule reaches across, so that
// the scratch buffers stay small whatever the length.
void transcribeBySweeps(std::string_view source, const TConvertData& settings, std::string& result,
                        SweepBuffers& buffers);

// Passes 2-11 on letters already folded by pass 1, appended to result: a
// line that comes in pieces is folded as it comes (see enginestream.h) and
// its letters are transcribed here piece by piece.
void transcribeFolded(std::string_view w, const TConvertData& settings, std::string& result,
                      SweepBuffers& buffers);

// Pass 11 alone, for text already in the letters of the alphabet: the same
// as toFontCodes, in one table lookup per letter.
void rawToFontCodes(std::string_view w, std::string& result);

}  // namespace engine
