#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "settings/memorybackend.h"
#include "settings/options.h"

// The program's stored settings as the tool sees them: a copy of the settings
// file taken once at start, held in memory behind the program's own store
// logic. The file itself is only read, never written (not even the defaults a
// store writes for missing values), so the tool may run while the program does.
class StoredSettings {
public:
    // The user's settings file; with useFile false (--defaults) the defaults
    // of a fresh store.
    explicit StoredSettings(bool useFile);
    // A given settings file (tests).
    explicit StoredSettings(const QString& filePath);

    TOptions& options() { return *m_options; }
    // What the tool should tell the user about the file (UTF-8): a file that
    // could not be read, values of the wrong kind (each set back to its
    // default). Empty when nothing.
    const std::vector<std::string>& notices() const { return m_notices; }

    // The transcription switches, with values of the wrong kind reported and
    // set back to their defaults.
    TConvertData convertData();

private:
    void load(const QString& filePath);
    void takeStoreNotice();

    MemoryBackend m_backend;
    std::unique_ptr<TOptions> m_options;
    std::vector<std::string> m_notices;
};
