#include "core/settings/memorybackend.h"
#include "core/settings/options.h"
#include "core/transcription/engine.h"
#include "core/transcription/settingssource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

namespace {

using ::testing::ElementsAre;

std::string bytesOf(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

StoreEnvironment testEnvironment() {
    StoreEnvironment env;
    env.executablePath = "/opt/ostrel/tengwar-ostrel";
    env.screenSize = [] { return StoreEnvironment::ScreenSize{1920, 1080}; };
    return env;
}

class StoreTest : public ::testing::Test {
protected:
    MemoryBackend backend;
    TOptions store{backend, testEnvironment()};

    const StoredValue& stored(const std::string& name) { return backend.values().at(name); }
};

TEST_F(StoreTest, FreshProfileGetsExactlyTheNineteenDefaults) {
    namespace n = storename;
    const std::set<std::string> expected = {
        n::kDefault,   n::kPoetry,    n::kLetterGroups, n::kTaskDescriptions, n::kCustomColors,
        n::kTextColor, n::kBackColor, n::kAnswerFont,   n::kZoomRect,         n::kMainRect,
        n::kFlags,     n::kReadBack,  n::kNeverTilde,   n::kActivePage,       n::kZoomA,
        n::kZoomB,     n::kFirstTime, n::kInputFile,    n::kOutputFile};
    std::set<std::string> names;
    for (const auto& [name, value] : backend.values()) {
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 19U);
    EXPECT_EQ(names, expected);

    EXPECT_EQ(stored(n::kFlags), StoredValue::binary(bytesOf({0xE7, 0x34, 0x06, 0x1B, 0x02})));
    EXPECT_EQ(stored(n::kActivePage), StoredValue::integer(4));
    EXPECT_EQ(stored(n::kFirstTime), StoredValue::boolean(true));
    EXPECT_EQ(stored(n::kTextColor), StoredValue::integer(0));
    EXPECT_EQ(stored(n::kBackColor), StoredValue::integer(8421376));
    EXPECT_EQ(stored(n::kAnswerFont), StoredValue::text("Times New Roman"));
    EXPECT_EQ(stored(n::kZoomA), StoredValue::integer(80));
    EXPECT_EQ(stored(n::kZoomB), StoredValue::integer(20));
    EXPECT_EQ(stored(n::kNeverTilde), StoredValue::text(""));
    EXPECT_EQ(stored(n::kInputFile), StoredValue::text(""));
    EXPECT_EQ(stored(n::kOutputFile), StoredValue::text(""));
    // 1920 div 10 = 192, 1080 div 50 = 21.
    EXPECT_EQ(stored(n::kZoomRect), StoredValue::binary(storelayout::encodeRect({192, 21, 412, 241})));
    EXPECT_EQ(stored(n::kMainRect),
              StoredValue::binary(bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF})));
    EXPECT_EQ(stored(n::kReadBack).kind, ValueKind::Binary);
    EXPECT_EQ(stored(n::kReadBack).bytes.size(), 1108U);
    EXPECT_EQ(stored(n::kDefault),
              StoredValue::text("Ta klju\xE8 uporablja program Tengwar Ostrel, razli\xE8ica 1.0 (pot "
                                "\"/opt/ostrel/tengwar-ostrel\"). \xC8"
                                "e programa ne uporabljate ve\xE8, lahko ta klju\xE8 mirno zbri\x9A"
                                "ete iz registra."));

    StringList list;
    store.LoadLetterGroups(list);
    EXPECT_THAT(list, ElementsAre("samoglasniki=aeiou",
                                  "soglasniki=bc\xE8"
                                  "d\xF0"
                                  "DfghjklLmnNpqr\xE0RsS\x9AtTvwxyYzZ\x9E"));
    store.LoadTaskDescriptions(list);
    ASSERT_EQ(list.size(), 5U);
    EXPECT_EQ(list[4], "2 razli\xE8ni \xE8rki=soglasniki|samoglasniki+soglasniki|samoglasniki;1!2");
    store.LoadCustomColors(list);
    ASSERT_EQ(list.size(), 16U);
    EXPECT_EQ(list.front(), "ColorA=FFFFFF");
    EXPECT_EQ(list.back(), "ColorP=FFFFFF");
    EXPECT_EQ(store.GetMainRect(), (StoredRect{-1, -1, -1, -1}));
    EXPECT_TRUE(store.GetFirstTime());
}

TEST(StoreScreen, ZoomDefaultWithoutAScreenProviderAssumesXga) {
    MemoryBackend backend;
    TOptions store(backend);
    EXPECT_EQ(store.GetZoomRect(), (StoredRect{102, 15, 322, 235}));
}

TEST(StorePoetry, VerseHasTheDescribedShape) {
    const std::string& verse = TOptions::poetry();
    EXPECT_EQ(verse.size(), 824U);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = verse.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(verse.substr(start, end - start));
    }
    EXPECT_EQ(start, verse.size()) << "every line ends with CR LF";
    ASSERT_EQ(lines.size(), 22U);
    EXPECT_TRUE(lines[0].empty() && lines[1].empty() && lines[20].empty() && lines[21].empty());
    for (std::size_t i = 2; i < 20; ++i) {
        EXPECT_FALSE(lines[i].empty()) << i;
        EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos) << i;
    }
    EXPECT_NE(lines[19].find("Milton"), std::string::npos);
}

TEST_F(StoreTest, InitStoreRewritesNoticeAndVerseButKeepsUserValues) {
    backend.values()[storename::kPoetry] = StoredValue::text("gone");
    store.SetZoomB(7);
    store.InitStore();
    EXPECT_EQ(stored(storename::kPoetry).bytes, TOptions::poetry());
    EXPECT_EQ(store.GetZoomB(), 7);
}

TEST_F(StoreTest, AMissingValueIsRestoredOnlyWhenItIsRead) {
    store.SetZoomB(5);
    backend.values().erase(storename::kZoomA);
    EXPECT_EQ(store.GetBackColor(), 8421376);
    EXPECT_FALSE(backend.exists(storename::kZoomA));
    store.SetZoomB(6);  // writers never restore
    EXPECT_FALSE(backend.exists(storename::kZoomA));
    EXPECT_EQ(store.GetZoomA(), 80);
    EXPECT_TRUE(backend.exists(storename::kZoomA));
    EXPECT_EQ(store.GetZoomB(), 6);
}

TEST_F(StoreTest, ReadingAMissingValueRestoresEveryMissingDefault) {
    backend.values().erase(storename::kFlags);
    backend.values().erase(storename::kTaskDescriptions);
    store.SaveLetterGroups({"x=y"});
    backend.values().erase(storename::kReadBack);
    EXPECT_EQ(store.GetNeverTilde(), "");  // present: nothing restored yet
    EXPECT_FALSE(backend.exists(storename::kFlags));
    ReadBackRules rules;
    store.LoadReadBackRules(rules);
    EXPECT_EQ(rules, readback::defaultRules());
    EXPECT_EQ(store.GetFlags(), flagset::kDefaultBytes);
    StringList list;
    store.LoadTaskDescriptions(list);
    EXPECT_EQ(list.size(), 5U);
    store.LoadLetterGroups(list);
    EXPECT_THAT(list, ElementsAre("x=y")) << "groups are defaulted independently of descriptions";
}

TEST_F(StoreTest, ListsWithEmptyStringsAndEmptyListsRoundTrip) {
    store.SaveTaskDescriptions({"a", "", "b\xE8", ""});
    StringList list{"stale"};
    store.LoadTaskDescriptions(list);
    EXPECT_THAT(list, ElementsAre("a", "", "b\xE8", ""));

    store.SaveLetterGroups({});
    EXPECT_EQ(stored(storename::kLetterGroups), StoredValue::binary(bytesOf({0, 0, 0, 0})));
    list = {"stale"};
    store.LoadLetterGroups(list);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(store.ReadStringList(storename::kLetterGroups, list));

    store.SetAnswerFont("");
    EXPECT_EQ(store.GetAnswerFont(), "");
    EXPECT_EQ(stored(storename::kAnswerFont), StoredValue::text(""));
}

TEST_F(StoreTest, StringListRoutinesRefuseAnEmptyName) {
    StringList list{"kept"};
    EXPECT_FALSE(store.ReadStringList("", list));
    const auto before = backend.values();
    EXPECT_FALSE(store.WriteStringList("", {"x"}));
    EXPECT_EQ(backend.values(), before);
}

TEST_F(StoreTest, FlagsPastTheSetReadFalseAndChangeNothing) {
    backend.values()[storename::kFlags] = StoredValue::binary(bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(store.GetFlag(40));
    EXPECT_FALSE(store.GetFlag(255));
    EXPECT_TRUE(store.GetFlag(39));
    const int writesBefore = backend.writeCount;
    store.SetFlag(40, true);
    store.SetFlag(40, false);
    EXPECT_EQ(store.GetFlags(), (FlagBytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(backend.writeCount, writesBefore) << "an unchanged set is not rewritten";
}

TEST_F(StoreTest, SetFlagChangesOneBit) {
    backend.values()[storename::kFlags] = StoredValue::binary(bytesOf({0, 0, 0, 0, 0}));
    store.SetFlag(9, true);
    EXPECT_EQ(stored(storename::kFlags).bytes, bytesOf({0x00, 0x02, 0x00, 0x00, 0x00}));
    store.SetFlag(34, true);
    store.SetFlag(9, false);
    EXPECT_EQ(stored(storename::kFlags).bytes, bytesOf({0x00, 0x00, 0x00, 0x00, 0x04}));
}

TEST_F(StoreTest, DefaultSwitchesLeaveTheOtherFlagsAndTheTildeList) {
    store.SetFlag(33, false);
    store.SetFlag(21, true);
    store.SetFlag(37, true);
    store.SetFlag(3, true);
    store.SetFlag(0, false);
    store.SetNeverTilde("nm");
    store.SetDefaultSwitches();
    EXPECT_FALSE(store.GetFlag(33));
    EXPECT_TRUE(store.GetFlag(21));
    EXPECT_TRUE(store.GetFlag(37));
    EXPECT_FALSE(store.GetFlag(3));
    EXPECT_TRUE(store.GetFlag(0));
    EXPECT_EQ(store.GetNeverTilde(), "nm");
}

TEST_F(StoreTest, ShortBinaryValuesReadMissingBytesAsZero) {
    backend.values()[storename::kFlags] = StoredValue::binary(bytesOf({0x01, 0x80}));
    EXPECT_EQ(store.GetFlags(), (FlagBytes{0x01, 0x80, 0, 0, 0}));
    EXPECT_TRUE(store.GetFlag(15));
    EXPECT_FALSE(store.GetFlag(33));
    store.SetFlag(33, true);
    EXPECT_EQ(stored(storename::kFlags).bytes.size(), 5U);

    backend.values()[storename::kMainRect] = StoredValue::binary(bytesOf({0x10, 0, 0, 0, 0xFE, 0xFF}));
    EXPECT_EQ(store.GetMainRect(), (StoredRect{16, 0xFFFE, 0, 0}));
    backend.values()[storename::kZoomRect] = StoredValue::binary("");
    EXPECT_EQ(store.GetZoomRect(), (StoredRect{0, 0, 0, 0}));
}

TEST_F(StoreTest, ValuesWrittenByOneStoreAreReadByAnother) {
    store.SetMainRect({-20, 30, 511, 330});
    store.SetFlag(21, true);
    store.SetInputFile("C:\\besedila\\\xE8rke.txt");
    store.SetFirstTime(false);
    store.SetTextColor(0x00123456);
    ReadBackRules rules = readback::defaultRules();
    rules['a'] = "";
    rules[255] = "zz";
    store.SaveReadBackRules(rules);

    TOptions other(backend, testEnvironment());
    EXPECT_EQ(other.GetMainRect(), (StoredRect{-20, 30, 511, 330}));
    EXPECT_TRUE(other.GetFlag(21));
    EXPECT_EQ(other.GetInputFile(), "C:\\besedila\\\xE8rke.txt");
    EXPECT_FALSE(other.GetFirstTime());
    EXPECT_EQ(other.GetTextColor(), 0x00123456);
    ReadBackRules loaded;
    other.LoadReadBackRules(loaded);
    EXPECT_EQ(loaded, rules);
}

struct WrongKindCase {
    const char* what;
    std::string name;
    StoredValue bad;
    std::function<void(TOptions&)> operation;
};

TEST_F(StoreTest, WrongKindsAreReportedOnceAndGoBackToTheirDefaults) {
    const std::vector<WrongKindCase> cases = {
        {"flags as text", storename::kFlags, StoredValue::text("E7"), [](TOptions& s) { s.GetFlag(0); }},
        {"flags as text, set", storename::kFlags, StoredValue::text("E7"),
         [](TOptions& s) { s.SetFlag(3, true); }},
        {"six flag bytes", storename::kFlags, StoredValue::binary(std::string(6, '\0')),
         [](TOptions& s) { s.SetFlag(3, true); }},
        {"defaults over bad flags", storename::kFlags, StoredValue::integer(1),
         [](TOptions& s) { s.SetDefaultSwitches(); }},
        {"seventeen rect bytes", storename::kMainRect, StoredValue::binary(std::string(17, '\0')),
         [](TOptions& s) { s.GetMainRect(); }},
        {"integer as text", storename::kZoomA, StoredValue::text("80"), [](TOptions& s) { s.GetZoomA(); }},
        {"integer as boolean", storename::kActivePage, StoredValue::boolean(true),
         [](TOptions& s) { s.GetActivePage(); }},
        {"text as integer", storename::kAnswerFont, StoredValue::integer(3),
         [](TOptions& s) { s.GetAnswerFont(); }},
        {"text as binary", storename::kNeverTilde, StoredValue::binary("ab"),
         [](TOptions& s) { s.GetNeverTilde(); }},
        {"boolean as text", storename::kFirstTime, StoredValue::text("1"),
         [](TOptions& s) { s.GetFirstTime(); }},
        {"list as text", storename::kReadBack, StoredValue::text("a"),
         [](TOptions& s) {
             ReadBackRules rules;
             s.LoadReadBackRules(rules);
         }},
        // A read-back table must hold one reading per letter code: a short
        // one (a cut file) would read letters past its end as nothing.
        {"short read-back table", storename::kReadBack,
         StoredValue::binary(storelayout::encodeStringList({"", "x", "y"})),
         [](TOptions& s) {
             ReadBackRules rules;
             s.LoadReadBackRules(rules);
             EXPECT_EQ(rules, readback::defaultRules());
         }},
        {"empty read-back table", storename::kReadBack, StoredValue::binary(std::string(4, '\0')),
         [](TOptions& s) {
             ReadBackRules rules;
             s.LoadReadBackRules(rules);
             EXPECT_EQ(rules['a'], "a");
         }},
        {"read-back table too long", storename::kReadBack,
         StoredValue::binary(storelayout::encodeStringList(StringList(257, "q"))),
         [](TOptions& s) {
             ReadBackRules rules;
             s.LoadReadBackRules(rules);
             EXPECT_EQ(rules, readback::defaultRules());
         }},
        {"empty list as integer", storename::kLetterGroups, StoredValue::integer(0),
         [](TOptions& s) {
             StringList list;
             s.LoadLetterGroups(list);
         }},
        {"transcription settings", storename::kFlags, StoredValue::text(""),
         [](TOptions& s) {
             TConvertData data;
             s.LoadConvertData(data);
         }},
    };
    MemoryBackend fresh;
    const TOptions defaults(fresh, testEnvironment());
    int handled = 0;
    store.SetNoticeHandler([&handled] { ++handled; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        backend.values()[c.name] = c.bad;
        handled = 0;
        EXPECT_NO_THROW(c.operation(store));
        EXPECT_NO_THROW(c.operation(store));
        auto expected = fresh.values();
        if (c.name == storename::kFlags) {
            expected[c.name] = backend.values().at(c.name);  // some cases change a bit of the default
            FlagBytes flags = store.GetFlags();
            flagset::set(flags, 3, false);
            EXPECT_EQ(flags, flagset::kDefaultBytes);
        }
        EXPECT_EQ(backend.values(), expected);
        EXPECT_EQ(handled, 1);
        const std::string notice = store.TakeStartupNotice();
        EXPECT_EQ(notice.rfind("Invalid data type for '" + c.name + "'", 0), 0U) << notice;
        EXPECT_TRUE(store.TakeStartupNotice().empty());
        backend.values() = fresh.values();
    }
}

TEST_F(StoreTest, AnIntegerReadsAsABooleanAsInTheRegistry) {
    backend.values()[storename::kFirstTime] = StoredValue::integer(7);
    EXPECT_TRUE(store.GetFirstTime());
    backend.values()[storename::kFirstTime] = StoredValue::integer(0);
    EXPECT_FALSE(store.GetFirstTime());
}

TEST_F(StoreTest, TextEndsAtItsFirstZeroByte) {
    backend.values()[storename::kAnswerFont] = StoredValue::text(std::string("Arial\0junk", 10));
    EXPECT_EQ(store.GetAnswerFont(), "Arial");
}

// Writes refused while the program runs go on in memory: read back from
// there, told once, retried with every later write.
TEST_F(StoreTest, FailedWritesGoOnInMemoryAndFailedReadsRaise) {
    const auto before = backend.values();
    (void)store.TakeStartupNotice();
    backend.failWrites = true;
    EXPECT_NO_THROW(store.SetZoomA(3));
    EXPECT_NO_THROW(store.SetFlag(3, true));
    ReadBackRules edited = readback::defaultRules();
    edited['a'] = "q";
    EXPECT_NO_THROW(store.SaveReadBackRules(edited));
    EXPECT_EQ(store.GetZoomA(), 3);
    EXPECT_TRUE(store.GetFlag(3));
    ReadBackRules loaded;
    store.LoadReadBackRules(loaded);
    EXPECT_EQ(loaded, edited);
    EXPECT_EQ(backend.values(), before);
    EXPECT_EQ(store.TakeStartupNotice(),
              "Nastavitev ni mogo\xE8"
              "e shraniti. Spremembe veljajo le do izhoda iz programa.");
    store.SetZoomB(9);
    EXPECT_TRUE(store.TakeStartupNotice().empty()) << "said once";
    EXPECT_FALSE(store.SaveEdits());
    backend.failWrites = false;
    EXPECT_TRUE(store.SaveEdits());
    EXPECT_EQ(backend.values().at(storename::kZoomA), StoredValue::integer(3));
    EXPECT_EQ(backend.values().at(storename::kZoomB), StoredValue::integer(9));
    EXPECT_EQ(backend.values().at(storename::kReadBack),
              StoredValue::binary(storelayout::encodeStringList(readback::toList(edited))));

    // Only where the windows stand is not worth a question at the close.
    backend.failWrites = true;
    store.SetMainRect({1, 2, 3, 4});
    store.SetActivePage(2);
    EXPECT_TRUE(store.SaveEdits());
    backend.failWrites = false;

    // A close while the start-up's batch is still open writes what waits
    // instead of calling it unsaved.
    store.BeginBatch();
    store.SetZoomA(4);
    EXPECT_TRUE(store.SaveEdits());
    EXPECT_EQ(backend.values().at(storename::kZoomA), StoredValue::integer(4));
    store.EndBatch();  // the start-up's own end, later, changes nothing

    backend.failReads = true;
    try {
        store.GetZoomB();
        ADD_FAILURE() << "no error raised";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.kind(), StoreError::Kind::GetFailed);
        EXPECT_EQ(std::string(error.what()), "Failed to get data for 'Zoom B'");
    }
    backend.failReads = false;
    EXPECT_EQ(store.GetZoomB(), 9);
}

// Settings that cannot be written when the store opens them: the start goes
// on with the values in memory, the user is told once, and what changes later
// is kept in memory too and written once the backend takes it again.
TEST(StoreConstruction, AStoreThatCannotWriteStartsInMemoryAndSaysSoOnce) {
    MemoryBackend backend;
    backend.failWrites = true;
    TOptions store(backend);
    EXPECT_TRUE(backend.values().empty());
    EXPECT_EQ(store.GetZoomA(), 80);
    EXPECT_EQ(store.GetFlags(), flagset::kDefaultBytes);
    EXPECT_EQ(store.TakeStartupNotice(),
              "Nastavitev ni mogo\xE8"
              "e shraniti. Spremembe veljajo le do izhoda iz programa.");
    store.SetZoomA(3);
    store.SaveLetterGroups({"x=y"});
    EXPECT_EQ(store.GetZoomA(), 3);
    EXPECT_TRUE(store.TakeStartupNotice().empty()) << "said once";

    backend.failWrites = false;
    store.SetZoomB(6);
    EXPECT_EQ(backend.values().size(), 19U);
    EXPECT_EQ(backend.values().at(storename::kZoomA), StoredValue::integer(3));
    EXPECT_EQ(backend.values().at(storename::kZoomB), StoredValue::integer(6));
    EXPECT_EQ(backend.values().at(storename::kLetterGroups),
              StoredValue::binary(storelayout::encodeStringList({"x=y"})));
}

TEST(StoreConstruction, FirstStartReachesTheBackendInOneChangeAndALaterStartInNone) {
    MemoryBackend backend;
    {
        TOptions first(backend);
        EXPECT_EQ(backend.commitCount, 1);
        EXPECT_EQ(backend.values().size(), 19U);
    }
    const int writes = backend.writeCount;
    TOptions later(backend);
    later.SetZoomA(later.GetZoomA());
    later.SetDefaultSwitches();
    EXPECT_EQ(backend.commitCount, 1);
    EXPECT_EQ(backend.writeCount, writes);

    later.BeginBatch();
    later.SetZoomA(1);
    later.SetActivePage(2);
    EXPECT_EQ(later.GetZoomA(), 1);
    EXPECT_EQ(backend.commitCount, 1);
    later.EndBatch();
    EXPECT_EQ(backend.commitCount, 2);
    EXPECT_EQ(backend.values().at(storename::kActivePage), StoredValue::integer(2));
}

TEST_F(StoreTest, SavedRulesKeepEveryEntryInItsPlace) {
    ReadBackRules rules;
    rules[0] = "zero";
    rules[97] = "";
    rules[128] = "x";
    rules[255] = "last";
    store.SaveReadBackRules(rules);
    const std::string& block = stored(storename::kReadBack).bytes;
    EXPECT_EQ(block.size(), 4U + 256U * 4U + 4U + 1U + 4U);
    ReadBackRules loaded;
    store.LoadReadBackRules(loaded);
    EXPECT_EQ(loaded, rules);
}

TEST_F(StoreTest, WriteDefaultsOverwriteEditedValues) {
    ReadBackRules rules;
    store.SaveReadBackRules(rules);
    store.SaveLetterGroups({"x=y"});
    store.SaveTaskDescriptions({});
    store.WriteDefaultReadBack();
    store.WriteDefaultDescriptions(true, false);
    store.LoadReadBackRules(rules);
    EXPECT_EQ(rules, readback::defaultRules());
    StringList list;
    store.LoadLetterGroups(list);
    EXPECT_EQ(list.size(), 2U);
    store.LoadTaskDescriptions(list);
    EXPECT_TRUE(list.empty());
}

TEST_F(StoreTest, InstalledStoreFeedsTheTranscriptionSettings) {
    store.SetFlag(0, false);
    store.SetFlag(34, true);
    store.SetNeverTilde("mn");
    installOptions(&store);
    EXPECT_EQ(&Options(), &store);
    TConvertData data;
    loadSettings(data);
    EXPECT_FALSE(data.Flags[0]);
    EXPECT_TRUE(data.Flags[34]);
    EXPECT_TRUE(data.Flags[1]);
    EXPECT_EQ(data.BrezTilde, "mn");
    installOptions(nullptr);
    EXPECT_FALSE(hasOptions());
    EXPECT_THROW(Options(), std::logic_error);
    loadSettings(data);
    EXPECT_TRUE(data.Flags[0]);
    EXPECT_EQ(data.BrezTilde, "");
}

TEST_F(StoreTest, LatinToTengwarReadsTheStoredSwitchesWhenAskedTo) {
    installOptions(&store);
    TConvertData withTh;
    loadDefaultSettings(withTh);
    TConvertData withoutTh = withTh;
    withoutTh.Flags[flag::Th] = false;
    const std::string folded = LatinToTengwar("the", false, withTh, true);
    const std::string plain = LatinToTengwar("the", false, withoutTh, true);
    ASSERT_NE(folded, plain);

    TConvertData fromStore;
    EXPECT_EQ(LatinToTengwar("the", false, fromStore, false), folded);
    store.SetFlag(flag::Th, false);
    EXPECT_EQ(LatinToTengwar("the", false, fromStore, false), plain);
    EXPECT_FALSE(fromStore.Flags[flag::Th]);
    installOptions(nullptr);
}

// A writer changes one switch, the tilde list and the zoom split while a
// reader checks that every read sees a whole value, and a third thread keeps
// reinitialising the store (which reopens the key) meanwhile.
TEST_F(StoreTest, ConcurrentReadersAndWritersSeeWholeValues) {
    const FlagBytes base = store.GetFlags();
    std::atomic<bool> stop{false};
    std::atomic<int> badReads{0};
    std::atomic<long> reads{0};

    std::thread writer([&] {
        for (int i = 0; !stop.load(); ++i) {
            store.SetFlag(3, (i & 1) != 0);
            store.SetNeverTilde((i & 1) != 0 ? "abc" : "");
            store.SetZoomA(i % 100);
        }
    });
    std::thread reopener([&] {
        while (!stop.load()) {
            store.InitStore();  // reopens the key and rewrites the notice and verse
        }
    });
    std::thread reader([&] {
        while (!stop.load()) {
            FlagBytes flags = store.GetFlags();
            flagset::set(flags, 3, false);
            if (flags != base) {
                ++badReads;
            }
            const std::string tilde = store.GetNeverTilde();
            if (tilde != "abc" && !tilde.empty()) {
                ++badReads;
            }
            const int zoom = store.GetZoomA();
            if (zoom < 0 || zoom >= 100) {
                ++badReads;
            }
            TConvertData data;
            store.LoadConvertData(data);
            if (data.Flags[0] != true) {
                ++badReads;
            }
            ++reads;
        }
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::yield();
    }
    stop = true;
    writer.join();
    reopener.join();
    reader.join();
    EXPECT_EQ(badReads.load(), 0);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(store.GetFlags()[1], base[1]);
}

}  // namespace
