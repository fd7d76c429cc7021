#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The four kinds of stored values. Each named value always has the same kind.
enum class ValueKind { Text, Integer, Boolean, Binary };

// One stored value. Only the member that belongs to the kind is meaningful:
// `bytes` for Text (Windows-1250 characters) and Binary (raw bytes), `number`
// for Integer and Boolean (a boolean is written as 0 or 1).
struct StoredValue {
    ValueKind kind = ValueKind::Text;
    std::string bytes;
    std::int32_t number = 0;

    static StoredValue text(std::string value) { return {ValueKind::Text, std::move(value), 0}; }
    static StoredValue integer(std::int32_t value) { return {ValueKind::Integer, {}, value}; }
    static StoredValue boolean(bool value) { return {ValueKind::Boolean, {}, value ? 1 : 0}; }
    static StoredValue binary(std::string value) { return {ValueKind::Binary, std::move(value), 0}; }

    friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

// Where the settings store keeps its named values: the program's one settings
// key. Names are Windows-1250 byte strings; the empty name is the key's unnamed
// default value. A backend is used by one store, under the store's lock.
class ValueBackend {
public:
    // BadKind: the value exists but its stored form is none of the four kinds.
    // Failed: the value exists but could not be read.
    enum class ReadStatus { Ok, Missing, BadKind, Failed };

    virtual ~ValueBackend() = default;

    // (Re)opens the key, creating it when absent. Called whenever the store
    // initialises itself; false when the key cannot be opened.
    virtual bool open() = 0;

    virtual bool exists(const std::string& name) = 0;

    // Fills `value` with the stored value and its kind.
    virtual ReadStatus read(const std::string& name, StoredValue& value) = 0;

    // Writes one value. When it returns false nothing has changed.
    virtual bool write(const std::string& name, const StoredValue& value) = 0;

    // Deletes one value; a missing value is not an error.
    virtual bool remove(const std::string& name) = 0;

    // A message (Windows-1250) for the user about something the backend had to
    // repair when it opened the key, returned once; empty when there is none.
    virtual std::string takeNotice() { return {}; }

    // Several changes at once (a value to write, or none to delete), applied
    // all or not at all. A backend over a file replaces it once for all of
    // them; this fallback applies them one by one.
    using Change = std::pair<std::string, std::optional<StoredValue>>;
    virtual bool writeMany(const std::vector<Change>& changes) {
        for (const auto& [name, value] : changes) {
            if (!(value ? write(name, *value) : remove(name))) {
                return false;
            }
        }
        return true;
    }

    // Keeps a copy of the key as it is now, before a damaged value in it is
    // replaced by its default. Returns where the copy went (Windows-1250), or
    // nothing when the backend keeps no copies.
    virtual std::string keepDamagedCopy() { return {}; }

    // Whether writes can be expected to reach the key (false for a read-only
    // settings file); asked when the key is opened.
    virtual bool canWrite() { return true; }

    // Where the values live, for messages (Windows-1250).
    virtual std::string location() const { return {}; }
};
