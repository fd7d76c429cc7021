#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "settings/options.h"
#include "settings/valuebackend.h"

class QSettings;

// The settings key on QSettings in its native format: organisation
// "Brinmoor Software, Inc.", application "Tengwar Ostrel", group "1.0". On
// Linux that is the file "~/.config/Brinmoor Software, Inc./Tengwar Ostrel.conf".
// The key's unnamed default value is the key "Default".
//
// An INI file keeps no types, so every value carries its kind in front of it:
//
//   Zoom%20A=int:80                          integer, decimal
//   Is%20this...=bool:true                   boolean, "true" or "false"
//   Pisava%20za%20odgovor=text:Times New Roman   text (stored as Unicode)
//   Zastavice=hex:E7 34 06 1B 02             binary, bytes in hexadecimal
//
// A value without one of these forms reads as a value of the wrong kind.
//
// Every operation first picks up what changed in the file since (QSettings
// re-reads a file whose size or time changed), and every write is synced at
// once. QSettings writes the file through QSaveFile (a temporary file renamed
// over the old one), so a crash or a full disk never leaves half a file.
//
// A file that cannot be parsed (QSettings reports a format error, or the file
// holds zero bytes, is not UTF-8 or ends inside a quoted value, as a crash or a
// disk fault leaves it) is never overwritten: it is renamed to "<file>.bak"
// ("<file>.bak.2", ".bak.3"... when that is taken), the store starts afresh
// from its defaults, and takeNotice() returns a message for the user once.
//
// Opening the file also clears what a killed run may have left: a lock file
// whose owner is gone (empty, or naming a process that no longer runs) and
// QSaveFile's temporary files "<file>.XXXXXX".
class QSettingsBackend : public ValueBackend {
public:
    // The user's own settings.
    QSettingsBackend();
    // Settings in the given file (tests, portable use).
    explicit QSettingsBackend(const QString& filePath);
    ~QSettingsBackend() override;

    QString fileName() const { return m_path; }

    bool open() override;
    bool exists(const std::string& name) override;
    ReadStatus read(const std::string& name, StoredValue& value) override;
    bool write(const std::string& name, const StoredValue& value) override;
    bool remove(const std::string& name) override;
    std::string takeNotice() override;
    bool writeMany(const std::vector<Change>& changes) override;
    std::string keepDamagedCopy() override;
    bool canWrite() override;
    std::string location() const override;

    // The stored form of a value, and back (BadKind when it has none).
    static QString encode(const StoredValue& value);
    static ReadStatus decode(const QString& stored, StoredValue& value);

private:
    std::unique_ptr<QSettings> session() const;
    std::unique_ptr<QSettings> prepare();
    bool change(const QString& key, const std::optional<QString>& stored);
    bool fileIsSound() const;
    QString freeBackupName() const;
    void keepAside();
    void clearLeftovers();

    QString m_path;
    QString m_notice;
    QString m_stuckFile;    // a broken file that could not be moved aside
    QString m_checkedFile;  // the version of the file last found sound
};

// The surroundings the store needs from Qt: the program's path and the primary
// screen's size (a 1024 x 768 screen until a GUI application exists).
StoreEnvironment qtStoreEnvironment();
