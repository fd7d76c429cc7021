#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The SZDD format of the MS-DOS/Windows COMPRESS tool, in which the program
// carries its font. A 14-byte header (two magics, the mode 'A', one byte of the
// packed file's name, the unpacked length) is followed by an LZSS stream over a
// 4,096-byte window.
namespace szdd {

inline constexpr std::size_t kHeaderSize = 14;
inline constexpr std::uint8_t kMagic[8] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
inline constexpr std::uint8_t kModeLzss = 0x41;  // 'A'
inline constexpr std::size_t kWindowSize = 4096;
// Every back-reference sits this far ahead of where writing starts in the window
// of the published format (which starts writing at kWindowSize - 16).
inline constexpr std::size_t kWindowOffset = 16;
inline constexpr std::size_t kMinMatch = 3;
inline constexpr std::size_t kMaxMatch = 18;

// Unpacked lengths above this are refused outright, whatever the stream holds:
// the program only ever unpacks its own font of a few tens of kilobytes.
inline constexpr std::uint32_t kMaxUnpackedLength = 64u * 1024u * 1024u;

// The most bytes a stream of `streamLength` bytes can expand to: every flag byte
// announces eight back-references of two bytes and 18 output bytes each.
constexpr std::size_t maxProducible(std::size_t streamLength) {
    return (streamLength / 17 + 1) * 8 * kMaxMatch;
}

}  // namespace szdd

// Unpacks an SZDD file held in memory. Returns the unpacked bytes, exactly as many
// as the header declares, or nothing when the header is wrong (no data, 14 bytes or
// fewer, other magics or mode), when the declared length cannot be produced by the
// stream or exceeds szdd::kMaxUnpackedLength, or when the stream ends early.
// Bytes after the declared length are ignored. Never reads outside [data, data +
// length) and never writes past the declared length.
std::optional<std::vector<std::uint8_t>> DecompressSzdd(const std::uint8_t* data, std::size_t length);
