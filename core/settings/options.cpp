#include "core/settings/options.h"

#include <atomic>
#include <limits>
#include <utility>

#include "core/transcription/settingssource.h"

// The store's behaviour: opening, reading and checking values, writing them
// (kept in memory when the backend refuses), batches, notices, and the
// program's one instance. The value forms and defaults are in optionvalues.cpp.

namespace {

const char* messageFormat(StoreError::Kind kind) {
    switch (kind) {
        case StoreError::Kind::InvalidType:
            return "Invalid data type for '";
        case StoreError::Kind::SetFailed:
            return "Failed to set data for '";
        case StoreError::Kind::GetFailed:
            break;
    }
    return "Failed to get data for '";
}

std::atomic<TOptions*> g_options{nullptr};

}  // namespace

StoreError::StoreError(Kind kind, const std::string& valueName)
    : std::runtime_error(messageFormat(kind) + valueName + "'"), m_kind(kind), m_valueName(valueName) {}

// ---------------------------------------------------------------------------
// The store

TOptions::TOptions(ValueBackend& backend, StoreEnvironment environment)
    : m_backend(backend), m_environment(std::move(environment)) {
    InitStore();
}

TOptions::~TOptions() {
    m_noticeHandler = {};
    m_batchDepth = 0;
    try {
        flush();
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

void TOptions::EnsureValue(const std::string& name) {
    const std::lock_guard lock(m_mutex);
    if (!m_opened || (!name.empty() && !backendExists(name))) {
        InitStore();
    }
}

// ---------------------------------------------------------------------------
// Reading and writing single values

namespace {

bool fitsKind(const StoredValue& value, ValueKind kind, std::size_t maxSize) {
    // A boolean is a 32-bit number, so an integer value is accepted for it
    // (any non-zero number reads as true).
    const bool kindFits =
        value.kind == kind || (kind == ValueKind::Boolean && value.kind == ValueKind::Integer);
    return kindFits && value.bytes.size() <= maxSize;
}

}  // namespace

ValueBackend::ReadStatus TOptions::backendRead(const std::string& name, StoredValue& value) {
    if (const auto it = m_unsaved.find(name); it != m_unsaved.end()) {
        if (!it->second) {
            return ValueBackend::ReadStatus::Missing;
        }
        value = *it->second;
        return ValueBackend::ReadStatus::Ok;
    }
    const auto status = m_backend.read(name, value);
    pullBackendNotice();
    return status;
}

bool TOptions::backendExists(const std::string& name) {
    if (const auto it = m_unsaved.find(name); it != m_unsaved.end()) {
        return it->second.has_value();
    }
    const bool exists = m_backend.exists(name);
    pullBackendNotice();
    return exists;
}

namespace {

// The kind (and the largest size) every stored value must have.
struct ValueRule {
    const std::string* name;
    ValueKind kind;
    std::size_t maxSize;
};

constexpr std::size_t kAny = static_cast<std::size_t>(-1);

const ValueRule kValueRules[] = {
    {&storename::kDefault, ValueKind::Text, kAny},
    {&storename::kPoetry, ValueKind::Text, kAny},
    {&storename::kLetterGroups, ValueKind::Binary, kAny},
    {&storename::kTaskDescriptions, ValueKind::Binary, kAny},
    {&storename::kCustomColors, ValueKind::Binary, kAny},
    {&storename::kTextColor, ValueKind::Integer, kAny},
    {&storename::kBackColor, ValueKind::Integer, kAny},
    {&storename::kAnswerFont, ValueKind::Text, kAny},
    {&storename::kZoomRect, ValueKind::Binary, 16},
    {&storename::kMainRect, ValueKind::Binary, 16},
    {&storename::kFlags, ValueKind::Binary, 5},
    {&storename::kReadBack, ValueKind::Binary, kAny},
    {&storename::kNeverTilde, ValueKind::Text, kAny},
    {&storename::kActivePage, ValueKind::Integer, kAny},
    {&storename::kZoomA, ValueKind::Integer, kAny},
    {&storename::kZoomB, ValueKind::Integer, kAny},
    {&storename::kFirstTime, ValueKind::Boolean, kAny},
    {&storename::kInputFile, ValueKind::Text, kAny},
    {&storename::kOutputFile, ValueKind::Text, kAny},
};

// Whether a stored value can be used as the value of that name: its kind,
// its size, and for the read-back table exactly one reading per letter code
// (a shorter table would read as empty readings, and any answer would pass).
bool usable(const std::string& name, const StoredValue& value, ValueKind kind, std::size_t maxSize) {
    if (!fitsKind(value, kind, maxSize)) {
        return false;
    }
    return name != storename::kReadBack ||
           storelayout::decodeStringList(value.bytes).size() == readback::kRuleCount;
}

}  // namespace

StoredValue TOptions::readValue(const std::string& name, ValueKind kind, std::size_t maxSize) {
    StoredValue value;
    auto status = backendRead(name, value);
    if (status == ValueBackend::ReadStatus::Ok && usable(name, value, kind, maxSize)) {
        return value;
    }
    if (status == ValueBackend::ReadStatus::Missing || status == ValueBackend::ReadStatus::Failed) {
        throw StoreError(StoreError::Kind::GetFailed, name);
    }
    // Stored in a form that is not its kind: a damaged file, or one edited by
    // hand. Raising here would fail every later access too, so the value
    // goes back to its default, as a deleted value does.
    recoverDamaged(name);
    status = backendRead(name, value);
    if (status != ValueBackend::ReadStatus::Ok || !usable(name, value, kind, maxSize)) {
        throw StoreError(StoreError::Kind::InvalidType, name);
    }
    return value;
}

// One damaged file is one event: every damaged value in it goes back to its
// default at once, with one copy of the file and one notice.
void TOptions::recoverDamaged(const std::string& name) {
    std::vector<std::string> damaged{name};
    for (const ValueRule& rule : kValueRules) {
        StoredValue value;
        if (*rule.name != name && backendRead(*rule.name, value) == ValueBackend::ReadStatus::Ok &&
            !usable(*rule.name, value, rule.kind, rule.maxSize)) {
            damaged.push_back(*rule.name);
        }
    }
    const std::string copy = m_backend.keepDamagedCopy();
    std::string notice;
    for (const std::string& each : damaged) {
        notice += StoreError(StoreError::Kind::InvalidType, each).what();
        notice += "\n";
    }
    notice += damaged.size() == 1 ? "Vrednost je spet privzeta." : "Vrednosti so spet privzete.";
    if (!copy.empty()) {
        notice +=
            " Datoteka z nastavitvami, kakr\x9A"
            "na je bila, je shranjena kot \x84" +
            copy + "\x93.";
    } else if (!m_backend.location().empty()) {
        notice +=
            " Kopije datoteke z nastavitvami ni bilo mogo\xE8"
            "e shraniti.";
    }
    addNotice(notice);
    const StoreBatch batch(*this);
    for (const std::string& each : damaged) {
        m_unsaved[each] = std::nullopt;
    }
    InitStore();
}

// A value equal to the stored one is not written again. A write the backend
// refuses (a folder made read-only, a full disk) is kept in memory, read back
// from there and retried with every later write; the user is told once.
void TOptions::writeValue(const std::string& name, const StoredValue& value) {
    StoredValue current;
    if (backendRead(name, current) == ValueBackend::ReadStatus::Ok && current == value) {
        return;
    }
    const auto previous = m_unsaved.find(name);
    if (previous != m_unsaved.end()) {
        // Back to what the backend holds (a window moved away and back while
        // a batch was open): nothing to write for it.
        StoredValue stored;
        if (m_backend.read(name, stored) == ValueBackend::ReadStatus::Ok && stored == value) {
            m_unsaved.erase(previous);
            return;
        }
    }
    m_unsaved[name] = value;
    if (m_filling) {
        m_filledDefaults[name] = value;
    }
    if (m_batchDepth > 0 || flush()) {
        return;
    }
    reportUnsaved();
}

bool TOptions::SaveEdits() {
    const std::lock_guard lock(m_mutex);
    // The program is closing: a batch still open (the start-up's) ends here.
    m_batchDepth = 0;
    flush();
    // Where the windows stood, which page was shown and the first-start mark
    // are not the user's edits.
    static const std::string* const placement[] = {&storename::kMainRect,   &storename::kZoomRect,
                                                   &storename::kHelpRect,   &storename::kActivePage,
                                                   &storename::kDefault,    &storename::kPoetry,
                                                   &storename::kFirstTime};
    for (const auto& entry : m_unsaved) {
        const std::string& name = entry.first;
        const std::optional<StoredValue>& value = entry.second;
        if (std::any_of(std::begin(placement), std::end(placement),
                        [&](const std::string* each) { return *each == name; })) {
            continue;
        }
        const auto filled = m_filledDefaults.find(name);
        if (filled == m_filledDefaults.end() || !value || !(*value == filled->second)) {
            return false;
        }
    }
    return true;
}

bool TOptions::flush() {
    if (m_batchDepth > 0 || m_unsaved.empty()) {
        return true;
    }
    const std::vector<ValueBackend::Change> changes(m_unsaved.begin(), m_unsaved.end());
    const bool written = m_backend.writeMany(changes);
    pullBackendNotice();
    if (written) {
        m_unsaved.clear();
        m_unsavedReported = false;
    }
    return written;
}

void TOptions::reportUnsaved() {
    if (m_unsavedReported) {
        return;
    }
    m_unsavedReported = true;
    const std::string where = m_backend.location();
    std::string notice =
        "Nastavitev ni mogo\xE8"
        "e shraniti";
    if (!where.empty()) {
        notice += " v datoteko \x84" + where + "\x93";
    }
    notice += ". Spremembe veljajo le do izhoda iz programa.";
    addNotice(notice);
}

void TOptions::addNotice(const std::string& text) {
    if (text.empty()) {
        return;
    }
    if (!m_notice.empty()) {
        m_notice += "\n\n";
    }
    m_notice += text;
    if (m_noticeHandler) {
        m_noticeHandler();
    }
}

void TOptions::pullBackendNotice() {
    addNotice(m_backend.takeNotice());
}

void TOptions::SetNoticeHandler(std::function<void()> handler) {
    const std::lock_guard lock(m_mutex);
    m_noticeHandler = std::move(handler);
}

void TOptions::BeginBatch() {
    const std::lock_guard lock(m_mutex);
    ++m_batchDepth;
}

// What a batch could not write stays in memory; the user is told once.
void TOptions::EndBatch() {
    const std::lock_guard lock(m_mutex);
    if (m_batchDepth > 0) {
        --m_batchDepth;
    }
    if (!flush()) {
        reportUnsaved();
    }
}

std::string TOptions::readText(const std::string& name) {
    const std::lock_guard lock(m_mutex);
    EnsureValue(name);
    std::string text = readValue(name, ValueKind::Text).bytes;
    // Text ends at its first zero byte.
    if (const auto zero = text.find('\0'); zero != std::string::npos) {
        text.resize(zero);
    }
    return text;
}

std::int32_t TOptions::readInteger(const std::string& name) {
    const std::lock_guard lock(m_mutex);
    EnsureValue(name);
    return readValue(name, ValueKind::Integer).number;
}

std::string TOptions::readBinary(const std::string& name, std::size_t maxSize) {
    const std::lock_guard lock(m_mutex);
    EnsureValue(name);
    return readValue(name, ValueKind::Binary, maxSize).bytes;
}

StoredRect TOptions::readRect(const std::string& name) {
    return storelayout::decodeRect(readBinary(name, 16));
}

FlagBytes TOptions::readFlags() {
    const std::string stored = readBinary(storename::kFlags, 5);
    FlagBytes bytes{};  // missing bytes read as zero
    for (std::size_t i = 0; i < stored.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(stored[i]);
    }
    return bytes;
}

std::string TOptions::TakeStartupNotice() {
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_notice, {});
}

// ---------------------------------------------------------------------------
// The program's one instance

TOptions& Options() {
    TOptions* options = g_options.load();
    if (options == nullptr) {
        throw std::logic_error("The settings store has not been created");
    }
    return *options;
}

bool hasOptions() {
    return g_options.load() != nullptr;
}

void installOptions(TOptions* options) {
    g_options.store(options);
    if (options != nullptr) {
        setSettingsSource([](TConvertData& data) { Options().LoadConvertData(data); });
    } else {
        setSettingsSource({});
    }
}