#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The packing side of the SZDD format (mode 'A', LZSS over a 4,096-byte window
// that starts filled with spaces and is written from position 4,080). Its output
// unpacks with the COMPRESS tool's EXPAND and with the program's own unpacker.
namespace szddpack {

// Packs `size` bytes at `data` into a complete SZDD file. `nameChar` is stored as
// the last character of the original file name (0 when it is not recorded).
// Throws std::length_error for inputs of 4 GiB or more, which the 32-bit length
// field cannot describe.
std::vector<std::uint8_t> pack(const std::uint8_t* data, std::size_t size, std::uint8_t nameChar = 0);

}  // namespace szddpack
