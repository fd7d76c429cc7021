#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "core/text/plural.h"

namespace {

// The last two digits choose the form: 1, 2, 3 and 4 have their own,
// every other number (0, 5 to 100, the teens) takes the fourth.
TEST(SlovenianPlural, TheLastTwoDigitsChooseTheForm) {
    const struct {
        std::int64_t count;
        const char* word;
    } cases[] = {
        {0, "odgovorov"},   {1, "odgovor"},     {2, "odgovora"},    {3, "odgovori"},     {4, "odgovori"},
        {5, "odgovorov"},   {11, "odgovorov"},  {12, "odgovorov"},  {14, "odgovorov"},   {21, "odgovorov"},
        {100, "odgovorov"}, {101, "odgovor"},   {102, "odgovora"},  {103, "odgovori"},   {104, "odgovori"},
        {105, "odgovorov"}, {111, "odgovorov"}, {1001, "odgovor"},  {-1, "odgovor"},     {-2, "odgovora"},
        {-14, "odgovorov"}, {std::numeric_limits<std::int64_t>::min(), "odgovorov"},  // ...808
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plural::choose(c.count, "odgovor", "odgovora", "odgovori", "odgovorov"), c.word) << c.count;
    }
}

}  // namespace
