#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/readback/readbackrules.h"
#include "core/settings/valuebackend.h"
#include "core/transcription/convertdata.h"
#include "core/transcription/flagset.h"

using StringList = std::vector<std::string>;

// A window rectangle as stored: the outer frame in screen pixels.
struct StoredRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const StoredRect&, const StoredRect&) = default;
};

// The one error of the settings store. Its message names the value, e.g.
// "Invalid data type for 'Zastavice'"; like all text of the program it is
// Windows-1250 (value names may hold č, š, ž).
class StoreError : public std::runtime_error {
public:
    enum class Kind { InvalidType, SetFailed, GetFailed };
    StoreError(Kind kind, const std::string& valueName);
    Kind kind() const { return m_kind; }
    const std::string& valueName() const { return m_valueName; }

private:
    Kind m_kind;
    std::string m_valueName;
};

// Names of the stored values, Windows-1250, in the order in which missing
// defaults are written.
namespace storename {
inline const std::string kDefault;  // the key's unnamed default value
inline const std::string kPoetry =
    "Nice poetry (boy, I sure do love to clutter up poor sobs' registry files this way)";
inline const std::string kLetterGroups = "Skupine \xE8rk";
inline const std::string kTaskDescriptions = "Opisi nalog";
inline const std::string kCustomColors = "Uporabnikove barve";
inline const std::string kTextColor = "Barva besedila";
inline const std::string kBackColor = "Barva ozadja";
inline const std::string kAnswerFont = "Pisava za odgovor";
inline const std::string kZoomRect =
    "Pove\xE8"
    "evalno okno";
inline const std::string kMainRect = "Glavno okno";
inline const std::string kFlags = "Zastavice";
inline const std::string kReadBack = "Prepis v latinico";
inline const std::string kNeverTilde = "Nikoli s ~";
inline const std::string kActivePage = "Aktivni zavihek";
inline const std::string kZoomA = "Zoom A";
inline const std::string kZoomB = "Zoom B";
inline const std::string kFirstTime = "Is this your first time? (honi soit qui mal y pense)";
inline const std::string kInputFile = "Vhodna datoteka";
inline const std::string kOutputFile = "Izhodna datoteka";
// Not among the defaults: written once the help window has been open.
inline const std::string kHelpRect =
    "Okno pomo\xE8"
    "i";
}  // namespace storename

// The stored layouts of the binary values.
namespace storelayout {

// String-list block: a signed 32-bit little-endian count, then per string its
// 32-bit length and its bytes.
std::string encodeStringList(const StringList& list);

// Reads a block without ever reading past its data. A block of 4 bytes or
// less, or with a negative count, is an empty list. A block whose lengths run
// past its end keeps the strings that are whole and stops there (a negative
// length also ends it); bytes after the last counted string are ignored.
StringList decodeStringList(std::string_view block);

std::string encodeRect(const StoredRect& rect);
// Exactly 16 bytes are written; a shorter value reads its missing bytes as zero.
StoredRect decodeRect(std::string_view bytes);

}  // namespace storelayout

// What the store needs to know about its surroundings.
struct StoreEnvironment {
    // The running program's full path (Windows-1250), quoted in the key's
    // unnamed default value.
    std::string executablePath;
    // The primary screen's size in pixels, for the zoom window's default
    // placement; asked only when that value has to be written. Without it a
    // 1024 x 768 screen is assumed.
    struct ScreenSize {
        int width = 1024;
        int height = 768;
    };
    std::function<ScreenSize()> screenSize;
};

// The settings store: every setting that outlives a run, kept in one settings
// key through a value backend. Nothing is cached: each read goes to the
// backend and each write goes straight to it. A read of a missing value first
// rewrites the default of every missing value. Every operation holds one lock,
// so the file conversion thread may read while the main thread writes.
//
// A value that did not change is not written, and the writes of a batch (the
// defaults of InitStore, the program's start) reach the backend as one
// change. What the backend cannot write (read-only settings, a full disk,
// when the key is opened or at any later write) is kept in memory, read back
// from there and retried with every later write, and the user is told once.
// Stored values that cannot be read as their kind are reported once with the
// store's message, a copy of the key is kept aside, and they go back to their
// defaults. Other failures raise StoreError.
class TOptions {
public:
    // The backend must outlive the store. Runs InitStore.
    explicit TOptions(ValueBackend& backend, StoreEnvironment environment = {});
    TOptions(const TOptions&) = delete;
    TOptions& operator=(const TOptions&) = delete;
    // Writes what an open batch still holds.
    ~TOptions();

    // Opens the key, rewrites the unnamed value and the verse, and writes the
    // default of every missing value.
    void InitStore();
    // Runs InitStore when the key was never opened, or when `name` is not empty
    // and no value of that name exists. Readers pass their value's name,
    // writers an empty one.
    void EnsureValue(const std::string& name);

    // The switch set "Zastavice".
    FlagBytes GetFlags();
    bool GetFlag(int flag);              // flags above 39 read false
    void SetFlag(int flag, bool value);  // flags above 39 change nothing
    void SetDefaultSwitches();

    void LoadLetterGroups(StringList& list);
    void SaveLetterGroups(const StringList& list);
    void LoadTaskDescriptions(StringList& list);
    void SaveTaskDescriptions(const StringList& list);
    void LoadReadBackRules(ReadBackRules& rules);
    void SaveReadBackRules(const ReadBackRules& rules);
    void LoadCustomColors(StringList& list);
    void SaveCustomColors(const StringList& list);

    // Colours are 0x00BBGGRR.
    std::int32_t GetTextColor();
    void SetTextColor(std::int32_t color);
    std::int32_t GetBackColor();
    void SetBackColor(std::int32_t color);

    std::string GetAnswerFont();
    void SetAnswerFont(const std::string& face);

    StoredRect GetZoomRect();
    void SetZoomRect(const StoredRect& rect);
    // (-1, -1, -1, -1) until the main window has been placed.
    StoredRect GetMainRect();
    void SetMainRect(const StoredRect& rect);
    // The help window's inside in screen pixels, as the user left it; none
    // until it has been open (or when what is stored is no rectangle).
    std::optional<StoredRect> GetHelpRect();
    void SetHelpRect(const StoredRect& rect);

    std::int32_t GetActivePage();
    void SetActivePage(std::int32_t page);
    std::int32_t GetZoomA();
    void SetZoomA(std::int32_t value);
    std::int32_t GetZoomB();
    void SetZoomB(std::int32_t value);

    std::string GetNeverTilde();
    void SetNeverTilde(const std::string& letters);
    std::string GetInputFile();
    void SetInputFile(const std::string& path);
    std::string GetOutputFile();
    void SetOutputFile(const std::string& path);

    bool GetFirstTime();
    void SetFirstTime(bool value);

    void WriteDefaultReadBack();
    void WriteDefaultDescriptions(bool groups, bool descriptions);

    // The string-list block of one value. Both return false, touching nothing,
    // when the name is empty; ReadStringList also when the stored block holds
    // 4 bytes or less (the list is then empty).
    bool WriteStringList(const std::string& name, const StringList& list);
    bool ReadStringList(const std::string& name, StringList& list);

    // The transcription settings (flags 0-34 and "Nikoli s ~") in one step.
    void LoadConvertData(TConvertData& data);

    // Tries once more to write what is kept in memory. False when something
    // the user changed still cannot be saved (where the windows stand, the
    // page shown, the first-start mark and the defaults the store filled in
    // when it opened do not count).
    bool SaveEdits();
    // Where the settings live (Windows-1250), for messages.
    std::string SettingsLocation() const { return m_backend.location(); }

    // What the backend had to repair when it opened the key (for example a
    // settings file that could not be read), once; empty when nothing.
    std::string TakeStartupNotice();

    // Called (under the store's lock, possibly from another thread) whenever
    // a notice for the user arises after the start; TakeStartupNotice then
    // returns it.
    void SetNoticeHandler(std::function<void()> handler);

    // Writes between BeginBatch and the matching EndBatch reach the backend
    // together at the end, as one change. Batches nest.
    void BeginBatch();
    void EndBatch();

    // The stored verse and the key's notice, as InitStore writes them.
    static const std::string& poetry();
    std::string keyNotice() const;

private:
    static constexpr std::size_t kAnySize = static_cast<std::size_t>(-1);
    StoredValue readValue(const std::string& name, ValueKind kind, std::size_t maxSize = kAnySize);
    void recoverDamaged(const std::string& name);
    ValueBackend::ReadStatus backendRead(const std::string& name, StoredValue& value);
    bool backendExists(const std::string& name);
    void writeValue(const std::string& name, const StoredValue& value);
    bool flush();
    void reportUnsaved();
    void addNotice(const std::string& text);
    void pullBackendNotice();
    std::string readText(const std::string& name);
    std::int32_t readInteger(const std::string& name);
    std::string readBinary(const std::string& name, std::size_t maxSize);
    StoredRect readRect(const std::string& name);
    FlagBytes readFlags();
    void loadList(const std::string& name, StringList& list);
    void saveList(const std::string& name, const StringList& list);
    StoredRect defaultZoomRect() const;

    std::recursive_mutex m_mutex;
    ValueBackend& m_backend;
    StoreEnvironment m_environment;
    bool m_opened = false;
    std::string m_notice;
    std::function<void()> m_noticeHandler;
    // Values not yet in the backend (nullopt: deleted): a batch's writes, or
    // writes the backend refused.
    std::map<std::string, std::optional<StoredValue>> m_unsaved;
    // The defaults written when the store opened (for values it lacked):
    // no change of the user's while they stay as they are.
    std::map<std::string, StoredValue> m_filledDefaults;
    bool m_filling = false;
    int m_batchDepth = 0;
    bool m_unsavedReported = false;
};

// Holds a batch of the store's writes for its lifetime.
class StoreBatch {
public:
    explicit StoreBatch(TOptions& options) : m_options(options) { m_options.BeginBatch(); }
    ~StoreBatch() { m_options.EndBatch(); }
    StoreBatch(const StoreBatch&) = delete;
    StoreBatch& operator=(const StoreBatch&) = delete;

private:
    TOptions& m_options;
};

// The program's one store, created first in main() and released last.
// Options() throws std::logic_error when none is installed.
TOptions& Options();
bool hasOptions();
// Installs (or, with nullptr, removes) the program's store; it also becomes
// the source of the stored switches for LatinToTengwar.
void installOptions(TOptions* options);
