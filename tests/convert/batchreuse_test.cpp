// A long conversion hands its letter runs to worker threads in batches, and
// uses each batch again once it is written. A batch used again must wait for
// its new groups: written any earlier, the document would repeat an older
// part of the text, or a half-made one. Every line here differs from every
// other, so a batch written twice or too early shows in the document.
#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <string>

#include "core/convert/convertrun.h"
#include "core/convert/rtfwriter.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/settingssource.h"

namespace {

class StringSink : public ByteSink {
public:
    std::size_t write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return size;
    }
    std::string bytes;
};

int usableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

// The process bound to its first core while it lives: the conversion then
// starts no worker and makes each batch where it is gathered.
class OnOneCore {
public:
    OnOneCore() {
        CPU_ZERO(&m_saved);
        sched_getaffinity(0, sizeof m_saved, &m_saved);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int core = 0; core < CPU_SETSIZE; ++core) {
            if (CPU_ISSET(core, &m_saved)) {
                CPU_SET(core, &one);
                break;
            }
        }
        EXPECT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    }
    OnOneCore(const OnOneCore&) = delete;
    OnOneCore& operator=(const OnOneCore&) = delete;
    ~OnOneCore() { sched_setaffinity(0, sizeof m_saved, &m_saved); }

private:
    cpu_set_t m_saved;
};

std::string convert(const std::string& text, bool lowerCase) {
    StringSink sink;
    BufferedWriter writer(sink, "out.rtf");
    ConvertControl control;
    ConvertSettings settings;
    settings.lowerCase = lowerCase;
    TConvertData switches;
    loadDefaultSettings(switches);
    settings.switches = switches;
    EXPECT_EQ(writeRtfDocument(text, writer, settings, control), ConvertOutcome::Finished);
    return sink.bytes;
}

// Lines of letters and numbers, each with its own number, the letter runs of
// different lengths so that batches end at different places in a line.
std::string numberedText(std::size_t bytes, int variant) {
    const char* const words[] = {"tengwar", "Kova\xE8", "ljubezen", "\x8A" "ola", "in", "\x9E" "aba", "mlad",
                                 "O\x9A" "estrel", "quenya", "d\x9E" "ungla"};
    const char* const breaks[] = {"\r\n", "\n", "\r"};
    std::string text;
    text.reserve(bytes + 200);
    for (unsigned line = 0; text.size() < bytes; ++line) {
        text += std::to_string(line * 7 + static_cast<unsigned>(variant));
        for (unsigned w = 0; w <= (line + static_cast<unsigned>(variant)) % 9; ++w) {
            text += ' ';
            text += words[(line * 3 + w) % std::size(words)];
        }
        text += breaks[(line / 5 + static_cast<unsigned>(variant)) % std::size(breaks)];
    }
    return text;
}

TEST(BatchReuse, ManyBatchesUsedAgainGiveTheDocumentOfOneThread) {
    if (usableCores() < 2) {
        GTEST_SKIP() << "one core: the conversion starts no worker";
    }
    // About forty batches a document: each batch is used again a few dozen
    // times, behind workers that are still busy with the ones before it.
    constexpr std::size_t kBytes = std::size_t{10} << 20;
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(testing::Message() << "variant " << variant);
        const bool lowerCase = variant == 1;
        const std::string text = numberedText(kBytes, variant);
        std::string expected;
        {
            OnOneCore bound;
            expected = convert(text, lowerCase);
        }
        for (int round = 0; round < 2; ++round) {
            const std::string document = convert(text, lowerCase);
            const auto differ = std::mismatch(document.begin(), document.end(), expected.begin(), expected.end());
            const auto at = static_cast<std::size_t>(differ.first - document.begin());
            ASSERT_EQ(document.size(), expected.size()) << "round " << round << ", first difference at " << at;
            ASSERT_EQ(document.substr(at, 80), expected.substr(at, 80)) << "round " << round << " at " << at;
        }
    }
}

}  // namespace
