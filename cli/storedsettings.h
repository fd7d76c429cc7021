#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/memorybackend.h"
#include "core/settings/options.h"

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
    // What the tool should tell the user about the file (UTF-8), after
    // convertData(): one line when the stored switches could not be used (a
    // file that cannot be read, one cut short before them, a damaged switch
    // value), which are then the defaults. Empty when nothing.
    const std::vector<std::string>& notices() const { return m_notices; }

    // The transcription switches, with values of the wrong kind reported and
    // set back to their defaults.
    TConvertData convertData();

private:
    void load(const QString& filePath);
    static bool usedForSwitches(const std::string& name);

    MemoryBackend m_backend;
    std::unique_ptr<TOptions> m_options;
    std::vector<std::string> m_notices;
    std::string m_path;     // UTF-8
    std::string m_problem;  // why the stored switches are not used, UTF-8
};
