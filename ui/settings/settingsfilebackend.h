#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "core/settings/options.h"
#include "core/settings/valuebackend.h"
#include "qtcore/storedfile.h"

// The settings key in a file of QSettings' native format: organisation
// "Brinmoor Software, Inc.", application "Tengwar Ostrel", group "1.0". On
// Linux that is the file "~/.config/Brinmoor Software, Inc./Tengwar Ostrel.conf".
// The key's unnamed default value is the key "Default". How values are spelled
// is told in storedform.h, how the file is laid out in storedfile.h.
//
// The file is read once and read again only when it changed (its size or
// time). Every write replaces the whole file: a temporary file
// "<file>.tengwar-ostrel-XXXXXX" is written, synced and renamed over the old
// one, under the lock file "<file>.lock" that QSettings uses too, so a crash
// or a full disk never leaves half a file.
//
// A file that cannot be read without loss (zero bytes, not UTF-8, ends inside
// a quoted value, a broken line) is never overwritten: it is renamed to
// "<file>.bak" (".bak.2", ".bak.3"... when that is taken), the store starts
// afresh from its defaults, and takeNotice() tells the user once. A file the
// program wrote that was cut short keeps what it held before the cut, is
// copied to a backup, and is told once; what it lost goes back to its default.
//
// Opening the file also clears what a killed run of this program may have
// left: a stale lock file (by QLockFile's rules: its owner is gone from this
// machine, or it names none and is old) and the program's own temporary
// files. Only regular files are read: a named pipe or a device under the
// file's or the lock's name is told to the user and never opened. A lock of another machine (a home folder shared over
// the network) is left alone; while it is there, nothing is written and the
// user is told so at once.
class SettingsFileBackend : public ValueBackend {
public:
    // The user's own settings.
    SettingsFileBackend();
    // Settings in the given file (tests, portable use).
    explicit SettingsFileBackend(const QString& filePath);
    ~SettingsFileBackend() override;

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

    // How often the file's bytes were read (tests: a large file is read once).
    int fileReads() const { return m_fileReads; }

private:
    void prepare();
    void load();
    QString freeBackupName() const;
    void keepAside();
    void keepCutCopy();
    void clearLeftovers();
    bool lockUsable();
    QString foreignLockHost() const;
    bool replaceFile(const QByteArray& bytes);
    void addNotice(const QString& text);

    QString m_path;
    QString m_notice;
    storedfile::Contents m_contents;
    bool m_loaded = false;
    bool m_unreadable = false;   // the file is there but could not be read: never overwrite it
    QString m_loadedFile;        // the version of the file m_contents holds
    QString m_stuckFile;         // a broken file that could not be moved aside
    QString m_copiedFile;        // the version of the file last copied to a backup
    QString m_copiedTo;
    QString m_toldForeignLock;   // the host last reported as holding the lock
    QString m_toldSpecialFile;   // the version of a special file under the name last reported
    bool m_toldSpecialLock = false;
    int m_fileReads = 0;
};

// The surroundings the store needs from Qt: the program's path and the primary
// screen's size (a 1024 x 768 screen until a GUI application exists).
StoreEnvironment qtStoreEnvironment();
