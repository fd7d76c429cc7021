#pragma once

// Takes a fuzzer's input apart into the pieces a target needs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size) {}

    // The next byte, or zero when none is left.
    std::uint8_t byte() {
        if (m_rest.empty()) {
            return 0;
        }
        const auto value = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return value;
    }

    // The bytes up to the next zero byte (which is dropped), or all that is left.
    std::string_view part() {
        const std::size_t end = m_rest.find('\0');
        const std::string_view piece = m_rest.substr(0, end);
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
        return piece;
    }

    std::string_view rest() const { return m_rest; }

    // Lines split at LF, as the program's list boxes hold them.
    static std::vector<std::string> lines(std::string_view text) {
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = text.find('\n', start);
            out.emplace_back(
                text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
            if (end == std::string_view::npos) {
                break;
            }
            start = end + 1;
        }
        return out;
    }

private:
    std::string_view m_rest;
};
