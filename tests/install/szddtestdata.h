#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace szddtest {

using Bytes = std::vector<std::uint8_t>;

// The inputs every round trip is tried on: empty, tiny, repetitive, runs of the
// window's initial spaces, text, random bytes shorter and longer than the window.
struct Sample {
    std::string name;
    Bytes bytes;
};
std::vector<Sample> samples();
Bytes sample(const std::string& name);

// The unpacker of the published format, written out plainly from its description:
// window of 4,096 spaces, writing from 4,080, absolute back-reference positions.
// Unlike the program's it expands the whole stream, ignoring the declared length.
Bytes referenceExpand(const Bytes& file);

// The declared unpacked length of an SZDD file (at least 14 bytes).
std::uint32_t declaredLength(const Bytes& file);

Bytes readFile(const std::string& path);

}  // namespace szddtest
