#include "core/install/szdd.h"

#include <algorithm>
#include <array>
#include <new>

namespace {

// The LZSS decoder over the 4,096-byte window. Writing starts at window position
// 0; back-reference positions are shifted by szdd::kWindowOffset to match.
class Expander {
public:
    Expander(const std::uint8_t* stream, std::size_t length, std::vector<std::uint8_t>& out)
        : m_in(stream), m_end(stream + length), m_out(out) {
        m_window.fill(0x20);
    }

    // True when the whole output was produced before the stream ran out.
    bool run() {
        while (m_in < m_end) {
            const unsigned flags = *m_in++;
            for (unsigned bit = 0; bit < 8; ++bit) {
                if ((flags >> bit) & 1u) {
                    if (m_in == m_end) {
                        return false;
                    }
                    if (emit(*m_in++)) {
                        return true;
                    }
                } else {
                    if (m_end - m_in < 2) {
                        return false;
                    }
                    const unsigned b0 = m_in[0];
                    const unsigned b1 = m_in[1];
                    m_in += 2;
                    std::size_t source = (b0 + ((b1 >> 4) << 8) + szdd::kWindowOffset) % szdd::kWindowSize;
                    const std::size_t count = (b1 & 0x0Fu) + szdd::kMinMatch;
                    for (std::size_t k = 0; k < count; ++k) {
                        const std::uint8_t byte = m_window[source];
                        source = (source + 1) % szdd::kWindowSize;
                        if (emit(byte)) {
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }

private:
    // Appends one byte; true when the output is complete.
    bool emit(std::uint8_t byte) {
        m_window[m_write] = byte;
        m_write = (m_write + 1) % szdd::kWindowSize;
        m_out[m_produced++] = byte;
        return m_produced == m_out.size();
    }

    const std::uint8_t* m_in;
    const std::uint8_t* const m_end;
    std::vector<std::uint8_t>& m_out;
    std::array<std::uint8_t, szdd::kWindowSize> m_window{};
    std::size_t m_write = 0;
    std::size_t m_produced = 0;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> DecompressSzdd(const std::uint8_t* data, std::size_t length) {
    if (data == nullptr || length <= szdd::kHeaderSize) {
        return std::nullopt;
    }
    if (!std::equal(std::begin(szdd::kMagic), std::end(szdd::kMagic), data) || data[8] != szdd::kModeLzss) {
        return std::nullopt;
    }
    const std::uint32_t declared = std::uint32_t{data[10]} | std::uint32_t{data[11]} << 8 |
                                   std::uint32_t{data[12]} << 16 | std::uint32_t{data[13]} << 24;
    std::vector<std::uint8_t> out;
    if (declared == 0) {
        return out;
    }
    const std::size_t streamLength = length - szdd::kHeaderSize;
    if (declared > szdd::kMaxUnpackedLength || declared > szdd::maxProducible(streamLength)) {
        return std::nullopt;
    }
    try {
        out.resize(declared);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    Expander expander(data + szdd::kHeaderSize, streamLength, out);
    if (!expander.run()) {
        return std::nullopt;
    }
    return out;
}
