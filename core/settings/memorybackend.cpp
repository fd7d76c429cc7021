#include "core/settings/memorybackend.h"

bool MemoryBackend::open() {
    ++openCount;
    return true;
}

bool MemoryBackend::exists(const std::string& name) {
    return m_values.count(name) != 0;
}

ValueBackend::ReadStatus MemoryBackend::read(const std::string& name, StoredValue& value) {
    const auto it = m_values.find(name);
    if (it == m_values.end()) {
        return ReadStatus::Missing;
    }
    if (failReads) {
        return ReadStatus::Failed;
    }
    value = it->second;
    return ReadStatus::Ok;
}

bool MemoryBackend::write(const std::string& name, const StoredValue& value) {
    if (failWrites) {
        return false;
    }
    m_values[name] = value;
    ++writeCount;
    return true;
}

bool MemoryBackend::remove(const std::string& name) {
    if (failWrites) {
        return false;
    }
    m_values.erase(name);
    return true;
}

bool MemoryBackend::writeMany(const std::vector<Change>& changes) {
    if (failWrites) {
        return false;
    }
    for (const auto& [name, value] : changes) {
        if (value) {
            write(name, *value);
        } else {
            remove(name);
        }
    }
    ++commitCount;
    return true;
}
