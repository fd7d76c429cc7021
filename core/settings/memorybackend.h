#pragma once

#include <map>
#include <string>

#include "core/settings/valuebackend.h"

// A settings key held in memory, for tests and for a run without a disk. Its
// failure switches let tests see how the store behaves when the disk fails.
class MemoryBackend : public ValueBackend {
public:
    bool open() override;
    bool exists(const std::string& name) override;
    ReadStatus read(const std::string& name, StoredValue& value) override;
    bool write(const std::string& name, const StoredValue& value) override;
    bool remove(const std::string& name) override;
    bool writeMany(const std::vector<Change>& changes) override;
    bool canWrite() override { return !failWrites; }

    // Direct access to the key, bypassing failure switches.
    const std::map<std::string, StoredValue>& values() const { return m_values; }
    std::map<std::string, StoredValue>& values() { return m_values; }

    // When set, every write (or every read of an existing value) fails.
    bool failWrites = false;
    bool failReads = false;

    // Counts of successful operations, for tests that care how often the
    // store touches its key.
    int writeCount = 0;
    int openCount = 0;
    // Successful writeMany calls: how often a file would have been replaced.
    int commitCount = 0;

private:
    std::map<std::string, StoredValue> m_values;
};
