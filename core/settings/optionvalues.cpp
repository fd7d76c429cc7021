#include <algorithm>
#include <array>
#include <utility>

#include "core/exercise/defaultdescriptions.h"
#include "core/settings/options.h"

// The settings' value forms and defaults: the binary layouts of lists and
// rectangles, the first start's values, and the typed getters and setters.

namespace {

void appendInt32(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((bits >> shift) & 0xFFU));
    }
}

// The little-endian 32-bit number at `pos`; missing bytes read as zero.
std::int32_t int32At(std::string_view bytes, std::size_t pos) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (pos + i < bytes.size()) {
            bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[pos + i])) << (8 * i);
        }
    }
    return static_cast<std::int32_t>(bits);
}

StringList defaultCustomColors() {
    StringList colors;
    for (char letter = 'A'; letter <= 'P'; ++letter) {
        colors.push_back(std::string("Color") + letter + "=FFFFFF");
    }
    return colors;
}

}  // namespace

// ---------------------------------------------------------------------------
// Layouts

namespace storelayout {

std::string encodeStringList(const StringList& list) {
    std::size_t size = 4;
    for (const auto& text : list) {
        size += 4 + text.size();
    }
    std::string block;
    block.reserve(size);
    appendInt32(block, static_cast<std::int32_t>(list.size()));
    for (const auto& text : list) {
        appendInt32(block, static_cast<std::int32_t>(text.size()));
        block += text;
    }
    return block;
}

StringList decodeStringList(std::string_view block) {
    StringList list;
    if (block.size() <= 4) {
        return list;
    }
    const std::int32_t count = int32At(block, 0);
    std::size_t pos = 4;
    for (std::int32_t i = 0; i < count; ++i) {
        if (block.size() - pos < 4) {
            break;
        }
        const std::int32_t length = int32At(block, pos);
        pos += 4;
        if (length < 0 || static_cast<std::size_t>(length) > block.size() - pos) {
            break;
        }
        list.emplace_back(block.substr(pos, static_cast<std::size_t>(length)));
        pos += static_cast<std::size_t>(length);
    }
    return list;
}

std::string encodeRect(const StoredRect& rect) {
    std::string bytes;
    appendInt32(bytes, rect.left);
    appendInt32(bytes, rect.top);
    appendInt32(bytes, rect.right);
    appendInt32(bytes, rect.bottom);
    return bytes;
}

StoredRect decodeRect(std::string_view bytes) {
    return {int32At(bytes, 0), int32At(bytes, 4), int32At(bytes, 8), int32At(bytes, 12)};
}

}  // namespace storelayout

const std::string& TOptions::poetry() {
    // Two empty lines, seventeen lines of verse, the author and work, two empty
    // lines: 824 characters with CR LF line ends.
    static const std::string verse = [] {
        const char* const lines[] = {
            "",
            "",
            "  Of Man's first disobedience, and the fruit",
            "  Of that forbidden tree whose mortal taste",
            "  Brought death into the World, and all our woe,",
            "  With loss of Eden, till one greater Man",
            "  Restore us, and regain the blissful seat,",
            "  Sing, Heavenly Muse, that, on the secret top",
            "  Of Oreb, or of Sinai, didst inspire",
            "  That shepherd who first taught the chosen seed",
            "  In the beginning how the heavens and earth",
            "  Rose out of Chaos: or, if Sion hill",
            "  Delight thee more, and Siloa's brook that flowed",
            "  Fast by the oracle of God, I thence",
            "  Invoke thy aid to my adventurous song,",
            "  That with no middle flight intends to soar",
            "  Above th' Aonian mount, while it pursues",
            "  Things unattempted yet in prose or rhyme.",
            "  And chiefly thou, O Spirit, that dost prefer",
            "          -- John Milton, Paradise Lost, Book I",
            "",
            "",
        };
        std::string text;
        for (const char* line : lines) {
            text += line;
            text += "\r\n";
        }
        return text;
    }();
    return verse;
}

std::string TOptions::keyNotice() const {
    return "Ta klju\xE8 uporablja program Tengwar Ostrel, razli\xE8ica 1.0 (pot \"" +
           m_environment.executablePath +
           "\"). \xC8"
           "e programa ne uporabljate ve\xE8, lahko ta klju\xE8 mirno zbri\x9A"
           "ete iz registra.";
}

StoredRect TOptions::defaultZoomRect() const {
    StoreEnvironment::ScreenSize screen;
    if (m_environment.screenSize) {
        screen = m_environment.screenSize();
    }
    const std::int32_t left = screen.width / 10;
    const std::int32_t top = screen.height / 50;
    return {left, top, left + 220, top + 220};
}

void TOptions::InitStore() {
    const std::lock_guard lock(m_mutex);
    if (!m_backend.open()) {
        throw StoreError(StoreError::Kind::SetFailed, storename::kDefault);
    }
    m_opened = true;
    pullBackendNotice();
    if (!m_backend.canWrite()) {
        reportUnsaved();
    }
    // Everything below reaches the backend as one change.
    const StoreBatch batch(*this);
    m_filling = true;
    struct FillEnd {
        bool& filling;
        ~FillEnd() { filling = false; }
    } fillEnd{m_filling};
    // The help-file registration of the original platform has no counterpart here.
    writeValue(storename::kDefault, StoredValue::text(keyNotice()));
    writeValue(storename::kPoetry, StoredValue::text(poetry()));

    const auto missing = [this](const std::string& name) { return !backendExists(name); };
    const bool groupsMissing = missing(storename::kLetterGroups);
    const bool descriptionsMissing = missing(storename::kTaskDescriptions);
    if (groupsMissing || descriptionsMissing) {
        WriteDefaultDescriptions(groupsMissing, descriptionsMissing);
    }
    if (missing(storename::kCustomColors)) {
        saveList(storename::kCustomColors, defaultCustomColors());
    }
    if (missing(storename::kTextColor)) {
        writeValue(storename::kTextColor, StoredValue::integer(0));
    }
    if (missing(storename::kBackColor)) {
        writeValue(storename::kBackColor, StoredValue::integer(0x808000));
    }
    if (missing(storename::kAnswerFont)) {
        writeValue(storename::kAnswerFont, StoredValue::text("Times New Roman"));
    }
    if (missing(storename::kZoomRect)) {
        writeValue(storename::kZoomRect, StoredValue::binary(storelayout::encodeRect(defaultZoomRect())));
    }
    if (missing(storename::kMainRect)) {
        writeValue(storename::kMainRect, StoredValue::binary(storelayout::encodeRect({-1, -1, -1, -1})));
    }
    if (missing(storename::kFlags)) {
        const auto& bytes = flagset::kDefaultBytes;
        writeValue(storename::kFlags, StoredValue::binary(std::string(bytes.begin(), bytes.end())));
        SetDefaultSwitches();
    }
    if (missing(storename::kReadBack)) {
        WriteDefaultReadBack();
    }
    if (missing(storename::kNeverTilde)) {
        writeValue(storename::kNeverTilde, StoredValue::text(""));
    }
    if (missing(storename::kActivePage)) {
        writeValue(storename::kActivePage, StoredValue::integer(4));
    }
    if (missing(storename::kZoomA)) {
        writeValue(storename::kZoomA, StoredValue::integer(80));
    }
    if (missing(storename::kZoomB)) {
        writeValue(storename::kZoomB, StoredValue::integer(20));
    }
    if (missing(storename::kFirstTime)) {
        writeValue(storename::kFirstTime, StoredValue::boolean(true));
    }
    if (missing(storename::kInputFile)) {
        writeValue(storename::kInputFile, StoredValue::text(""));
    }
    if (missing(storename::kOutputFile)) {
        writeValue(storename::kOutputFile, StoredValue::text(""));
    }
}

// ---------------------------------------------------------------------------
// Flags

FlagBytes TOptions::GetFlags() {
    return readFlags();
}

bool TOptions::GetFlag(int flag) {
    return flagset::get(readFlags(), flag);
}

void TOptions::SetFlag(int flag, bool value) {
    const std::lock_guard lock(m_mutex);
    FlagBytes bytes = readFlags();
    flagset::set(bytes, flag, value);
    writeValue(storename::kFlags, StoredValue::binary(std::string(bytes.begin(), bytes.end())));
}

void TOptions::SetDefaultSwitches() {
    const std::lock_guard lock(m_mutex);
    for (const auto& step : flagset::kDefaultSwitchSequence) {
        SetFlag(step.flag, step.value);
    }
}

// ---------------------------------------------------------------------------
// Lists

bool TOptions::WriteStringList(const std::string& name, const StringList& list) {
    const std::lock_guard lock(m_mutex);
    if (name.empty()) {
        return false;
    }
    writeValue(name, StoredValue::binary(storelayout::encodeStringList(list)));
    return true;
}

bool TOptions::ReadStringList(const std::string& name, StringList& list) {
    const std::lock_guard lock(m_mutex);
    if (name.empty()) {
        return false;
    }
    const std::string block = readValue(name, ValueKind::Binary).bytes;
    list = storelayout::decodeStringList(block);
    return block.size() > 4;
}

void TOptions::loadList(const std::string& name, StringList& list) {
    const std::lock_guard lock(m_mutex);
    EnsureValue(name);
    StringList loaded;
    ReadStringList(name, loaded);
    list = std::move(loaded);
}

void TOptions::saveList(const std::string& name, const StringList& list) {
    const std::lock_guard lock(m_mutex);
    EnsureValue({});
    WriteStringList(name, list);
}

void TOptions::LoadLetterGroups(StringList& list) {
    loadList(storename::kLetterGroups, list);
}
void TOptions::SaveLetterGroups(const StringList& list) {
    saveList(storename::kLetterGroups, list);
}
void TOptions::LoadTaskDescriptions(StringList& list) {
    loadList(storename::kTaskDescriptions, list);
}
void TOptions::SaveTaskDescriptions(const StringList& list) {
    saveList(storename::kTaskDescriptions, list);
}
void TOptions::LoadCustomColors(StringList& list) {
    loadList(storename::kCustomColors, list);
}
void TOptions::SaveCustomColors(const StringList& list) {
    saveList(storename::kCustomColors, list);
}

void TOptions::LoadReadBackRules(ReadBackRules& rules) {
    StringList list;
    loadList(storename::kReadBack, list);
    rules = readback::fromList(list);
}

void TOptions::SaveReadBackRules(const ReadBackRules& rules) {
    saveList(storename::kReadBack, readback::toList(rules));
}

void TOptions::WriteDefaultReadBack() {
    SaveReadBackRules(readback::defaultRules());
}

void TOptions::WriteDefaultDescriptions(bool groups, bool descriptions) {
    const std::lock_guard lock(m_mutex);
    if (descriptions) {
        saveList(storename::kTaskDescriptions, kDefaultTaskDescriptions);
    }
    if (groups) {
        saveList(storename::kLetterGroups, kDefaultLetterGroups);
    }
}

// ---------------------------------------------------------------------------
// Single values

namespace {

template <typename Store>
void writeLocked(std::recursive_mutex& mutex, Store&& store) {
    const std::lock_guard lock(mutex);
    store();
}

}  // namespace

std::int32_t TOptions::GetTextColor() {
    return readInteger(storename::kTextColor);
}
void TOptions::SetTextColor(std::int32_t color) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kTextColor, StoredValue::integer(color));
    });
}
std::int32_t TOptions::GetBackColor() {
    return readInteger(storename::kBackColor);
}
void TOptions::SetBackColor(std::int32_t color) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kBackColor, StoredValue::integer(color));
    });
}

std::string TOptions::GetAnswerFont() {
    return readText(storename::kAnswerFont);
}
void TOptions::SetAnswerFont(const std::string& face) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kAnswerFont, StoredValue::text(face));
    });
}

StoredRect TOptions::GetZoomRect() {
    return readRect(storename::kZoomRect);
}
void TOptions::SetZoomRect(const StoredRect& rect) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kZoomRect, StoredValue::binary(storelayout::encodeRect(rect)));
    });
}
StoredRect TOptions::GetMainRect() {
    return readRect(storename::kMainRect);
}
void TOptions::SetMainRect(const StoredRect& rect) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kMainRect, StoredValue::binary(storelayout::encodeRect(rect)));
    });
}

std::optional<StoredRect> TOptions::GetHelpRect() {
    const std::lock_guard lock(m_mutex);
    EnsureValue({});
    StoredValue value;
    if (backendRead(storename::kHelpRect, value) != ValueBackend::ReadStatus::Ok ||
        value.kind != ValueKind::Binary || value.bytes.size() != 16) {
        return std::nullopt;
    }
    return storelayout::decodeRect(value.bytes);
}
void TOptions::SetHelpRect(const StoredRect& rect) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kHelpRect, StoredValue::binary(storelayout::encodeRect(rect)));
    });
}

std::int32_t TOptions::GetActivePage() {
    return readInteger(storename::kActivePage);
}
void TOptions::SetActivePage(std::int32_t page) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kActivePage, StoredValue::integer(page));
    });
}
std::int32_t TOptions::GetZoomA() {
    return readInteger(storename::kZoomA);
}
void TOptions::SetZoomA(std::int32_t value) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kZoomA, StoredValue::integer(value));
    });
}
std::int32_t TOptions::GetZoomB() {
    return readInteger(storename::kZoomB);
}
void TOptions::SetZoomB(std::int32_t value) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kZoomB, StoredValue::integer(value));
    });
}

std::string TOptions::GetNeverTilde() {
    return readText(storename::kNeverTilde);
}
void TOptions::SetNeverTilde(const std::string& letters) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kNeverTilde, StoredValue::text(letters));
    });
}
std::string TOptions::GetInputFile() {
    return readText(storename::kInputFile);
}
void TOptions::SetInputFile(const std::string& path) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kInputFile, StoredValue::text(path));
    });
}
std::string TOptions::GetOutputFile() {
    return readText(storename::kOutputFile);
}
void TOptions::SetOutputFile(const std::string& path) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kOutputFile, StoredValue::text(path));
    });
}

bool TOptions::GetFirstTime() {
    const std::lock_guard lock(m_mutex);
    EnsureValue(storename::kFirstTime);
    return readValue(storename::kFirstTime, ValueKind::Boolean).number != 0;
}
void TOptions::SetFirstTime(bool value) {
    writeLocked(m_mutex, [&] {
        EnsureValue({});
        writeValue(storename::kFirstTime, StoredValue::boolean(value));
    });
}

void TOptions::LoadConvertData(TConvertData& data) {
    const std::lock_guard lock(m_mutex);
    const FlagBytes bytes = readFlags();
    for (int i = 0; i < TConvertData::kFlagCount; ++i) {
        data.Flags[static_cast<std::size_t>(i)] = flagset::get(bytes, i);
    }
    data.BrezTilde = GetNeverTilde();
}
