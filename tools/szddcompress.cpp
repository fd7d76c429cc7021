#include "tools/szddcompress.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace szddpack {

namespace {

constexpr std::size_t kWindowSize = 4096;
constexpr std::size_t kWindowMask = kWindowSize - 1;
constexpr std::size_t kFirstWrite = kWindowSize - 16;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
constexpr std::uint8_t kHeader[] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33, 0x41};

struct Match {
    std::size_t length = 0;
    std::size_t position = 0;
};

// Mirrors the unpacker's window so that every back-reference reads exactly the
// bytes the unpacker will have at that moment, including those that the copy
// itself writes (a reference may overlap the bytes it produces).
class Encoder {
public:
    Encoder(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size), m_prev(size, kNone) {
        m_window.fill(0x20);
    }

    std::vector<std::uint8_t> run(std::uint8_t nameChar) {
        std::vector<std::uint8_t> out(std::begin(kHeader), std::end(kHeader));
        out.push_back(nameChar);
        const auto size32 = static_cast<std::uint32_t>(m_size);
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<std::uint8_t>(size32 >> shift));
        }
        if (m_size == 0) {
            // One empty group, so that the file is longer than its header.
            out.push_back(0);
            return out;
        }

        std::size_t flagAt = 0;
        unsigned bit = 8;
        std::size_t i = 0;
        while (i < m_size) {
            if (bit == 8) {
                flagAt = out.size();
                out.push_back(0);
                bit = 0;
            }
            const Match match = longestMatch(i);
            std::size_t taken = 1;
            if (match.length >= kMinMatch) {
                out.push_back(static_cast<std::uint8_t>(match.position & 0xFF));
                out.push_back(
                    static_cast<std::uint8_t>(((match.position >> 4) & 0xF0) | (match.length - kMinMatch)));
                taken = match.length;
            } else {
                out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | (1u << bit));
                out.push_back(m_data[i]);
            }
            ++bit;
            for (std::size_t k = 0; k < taken; ++k) {
                remember(i + k);
                m_window[m_write] = m_data[i + k];
                m_write = (m_write + 1) & kWindowMask;
            }
            i += taken;
        }
        return out;
    }

private:
    // The longest run at input position i that the window can supply. A run can
    // start at an earlier input position (found through the hash chains) or among
    // the spaces the window began with, possibly running on into the input.
    Match longestMatch(std::size_t i) const {
        Match best;
        const std::size_t limit = std::min(kMaxMatch, m_size - i);
        if (limit < kMinMatch) {
            return best;
        }
        // True when nothing longer can be found.
        const auto consider = [&](std::size_t p) {
            std::size_t length = 0;
            while (length < limit && byteAt(p, length, i) == m_data[i + length]) {
                ++length;
            }
            if (length > best.length) {
                best = {length, p};
            }
            return best.length == limit;
        };
        for (std::size_t j = m_head[hash(i)]; j != kNone && i - j <= kWindowSize; j = m_prev[j]) {
            if (consider((kFirstWrite + j) & kWindowMask)) {
                return best;
            }
        }
        if (i < kWindowSize) {
            // The oldest position gives the most spaces; those just before the
            // first input byte give a few spaces followed by the input.
            const std::size_t spacesLeft = kWindowSize - i;
            if (consider(m_write)) {
                return best;
            }
            for (std::size_t s = 1; s < kMaxMatch && s < spacesLeft; ++s) {
                if (consider((kFirstWrite - s) & kWindowMask)) {
                    return best;
                }
            }
        }
        return best;
    }

    // Three bytes from input position j onwards, hashed for the chains.
    std::size_t hash(std::size_t j) const {
        const std::uint32_t key =
            std::uint32_t{m_data[j]} << 16 | std::uint32_t{m_data[j + 1]} << 8 | m_data[j + 2];
        return (key * 2654435761u) >> 16;
    }

    // Makes input position j findable as the start of a run.
    void remember(std::size_t j) {
        if (j + kMinMatch <= m_size) {
            const std::size_t h = hash(j);
            m_prev[j] = m_head[h];
            m_head[h] = j;
        }
    }

    // The byte that the k-th step of a copy from window position p reads when the
    // copy starts at input position i.
    std::uint8_t byteAt(std::size_t p, std::size_t k, std::size_t i) const {
        const std::size_t q = (p + k) & kWindowMask;
        const std::size_t ahead = (q - m_write) & kWindowMask;
        return ahead < k ? m_data[i + ahead] : m_window[q];
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::array<std::uint8_t, kWindowSize> m_window{};
    std::size_t m_write = kFirstWrite;
    // Hash chains over the input: the newest position per hash, and for every
    // position the one before it with the same hash.
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> m_head = std::vector<std::size_t>(std::size_t{1} << 16, kNone);
    std::vector<std::size_t> m_prev;
};

}  // namespace

std::vector<std::uint8_t> pack(const std::uint8_t* data, std::size_t size, std::uint8_t nameChar) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("SZDD cannot hold 4 GiB or more");
    }
    return Encoder(data, size).run(nameChar);
}

}  // namespace szddpack
