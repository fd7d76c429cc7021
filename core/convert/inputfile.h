#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The input of a conversion, read front to back in pieces, never mapped into
// memory: a file that shrinks or changes while it is read ends the reading
// early (changed()) instead of killing the program. Sizes are 64-bit.
class InputFile {
public:
    static constexpr std::size_t kPieceSize = std::size_t{1} << 20;

    // Opens a regular file for reading. Raises ConvertError::OpenInput naming
    // `name` (Windows-1250) with the system's reason. pieceSize is at least 4,
    // so the first piece holds a byte order mark whole.
    InputFile(const std::string& path, std::string name, std::size_t pieceSize = kPieceSize);
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // The size when the file was opened.
    std::uint64_t size() const { return static_cast<std::uint64_t>(m_opened.st_size); }
    // Bytes of the file read so far.
    std::uint64_t position() const { return m_position; }
    // Whether a path names this very file (also through a link).
    bool isFile(const std::string& path) const;

    // Reads the next piece. The last `keep` bytes of the previous piece come
    // first in it (a character cut by the piece's end). False at the end of
    // the file or once a change was seen; piece() then holds only the kept
    // bytes. Raises ConvertError::ReadInput when the system fails a read.
    bool next(std::size_t keep = 0);
    std::string_view piece() const { return {m_buffer.data(), m_pieceLength}; }

    // True once the file was seen to end early, to grow, to be written or to
    // be replaced under its name since it was opened. Stays true.
    bool changed() const { return m_changed; }

    // Back to the start for another reading.
    void rewind();

    // Called before every read with the position; tests change the file there.
    std::function<void(std::uint64_t position)> beforeRead;

private:
    void checkUnchanged();

    int m_fd = -1;
    std::string m_path;
    std::string m_name;
    struct stat m_opened {};
    std::string m_buffer;
    std::size_t m_pieceSize;
    std::size_t m_pieceLength = 0;
    std::uint64_t m_position = 0;
    bool m_changed = false;
};
