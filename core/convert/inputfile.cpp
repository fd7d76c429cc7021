#include "core/convert/inputfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/convert/regularfile.h"
#include "core/convert/rtfwriter.h"
#include "core/convert/systemerror.h"

InputFile::InputFile(const std::string& path, std::string name, std::size_t pieceSize)
    : m_path(path), m_name(std::move(name)), m_pieceSize(std::max<std::size_t>(pieceSize, 4)) {
    int error = 0;
    m_fd = openRegularFile(path, error);
    if (m_fd < 0 || ::fstat(m_fd, &m_opened) != 0) {
        error = error != 0 ? error : errno;
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        throw ConvertError(ConvertError::Kind::OpenInput, m_name, error);
    }
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_buffer.resize(m_pieceSize);
}

InputFile::~InputFile() {
    ::close(m_fd);
}

bool InputFile::isFile(const std::string& path) const {
    struct stat other {};
    return ::stat(path.c_str(), &other) == 0 && other.st_dev == m_opened.st_dev && other.st_ino == m_opened.st_ino;
}

bool InputFile::next(std::size_t keep) {
    keep = std::min(keep, m_pieceLength);
    std::memmove(m_buffer.data(), m_buffer.data() + m_pieceLength - keep, keep);
    m_pieceLength = keep;
    if (m_changed) {
        return false;
    }
    if (m_position >= size()) {
        // At the size it had: it must not have grown or changed meanwhile.
        checkUnchanged();
        return false;
    }
    if (m_buffer.size() < keep + m_pieceSize) {
        m_buffer.resize(keep + m_pieceSize);
    }
    const std::uint64_t want = std::min<std::uint64_t>(m_pieceSize, size() - m_position);
    std::size_t got = 0;
    if (beforeRead) {
        beforeRead(m_position);
    }
    while (got < want) {
        const ssize_t n = ::read(m_fd, m_buffer.data() + keep + got, static_cast<std::size_t>(want) - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw ConvertError(ConvertError::Kind::ReadInput, m_name, errno);
        }
        if (n == 0) {
            m_changed = true;  // it ended before its size
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    m_pieceLength = keep + got;
    m_position += got;
    checkUnchanged();
    return got > 0;
}

void InputFile::checkUnchanged() {
    struct stat now {};
    struct stat named {};
    const bool same = ::fstat(m_fd, &now) == 0 && now.st_size == m_opened.st_size &&
                      now.st_mtim.tv_sec == m_opened.st_mtim.tv_sec &&
                      now.st_mtim.tv_nsec == m_opened.st_mtim.tv_nsec && ::stat(m_path.c_str(), &named) == 0 &&
                      named.st_dev == m_opened.st_dev && named.st_ino == m_opened.st_ino;
    if (!same) {
        m_changed = true;
    }
}

void InputFile::rewind() {
    ::lseek(m_fd, 0, SEEK_SET);
    m_position = 0;
    m_pieceLength = 0;
}
