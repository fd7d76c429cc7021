#include "core/progress/dayaxis.h"

#include <algorithm>
#include <chrono>
#include <string>

namespace dayaxis {

namespace {

using namespace std::chrono;

// The Julian day number of 1 January 1970, where the system clock counts from.
constexpr std::int64_t kUnixEpochDay = 2440588;
// 1 January of the years 1 and 9999: dates beyond are no answers' dates.
constexpr std::int64_t kEarliestDay = 1721426;
constexpr std::int64_t kLatestDay = 5373484;

year_month_day civil(std::int64_t day) {
    return year_month_day{sys_days{days{day - kUnixEpochDay}}};
}

std::int64_t dayOf(const year_month_day& date) {
    return sys_days{date}.time_since_epoch().count() + kUnixEpochDay;
}

// The first day of the period of `months` months that holds `day`; periods
// start in January and every `months` months after it (years from year 0).
std::int64_t monthPeriodStart(std::int64_t day, int months) {
    const year_month_day date = civil(day);
    const int inMonths = static_cast<int>(date.year()) * 12 + static_cast<int>(unsigned{date.month()}) - 1;
    const int start = inMonths - inMonths % months;
    return dayOf(year{start / 12} / month{static_cast<unsigned>(start % 12 + 1)} / 1);
}

std::int64_t addMonths(std::int64_t day, int months) {
    const year_month_day date = civil(day);
    const year_month_day moved = year_month_day{date.year() / date.month() / 1} + std::chrono::months{months};
    return dayOf(moved);
}

std::string dayLabel(std::int64_t day) {
    const year_month_day date = civil(day);
    return std::to_string(unsigned{date.day()}) + ". " + std::to_string(unsigned{date.month()}) + ".";
}

std::string monthLabel(std::int64_t day) {
    const year_month_day date = civil(day);
    return std::to_string(unsigned{date.month()}) + ". " + std::to_string(static_cast<int>(date.year()));
}

std::string yearLabel(std::int64_t day) {
    return std::to_string(static_cast<int>(civil(day).year()));
}

// Periods of `length` days from `start` on, until `lastDay` is in one.
Axis fixedPeriods(std::int64_t start, std::int64_t lastDay, std::int64_t length) {
    Axis axis;
    axis.first = start;
    for (std::int64_t day = start; day <= lastDay; day += length)
        axis.periods.push_back({day, day + length, dayLabel(day)});
    axis.end = axis.periods.back().end;
    return axis;
}

Axis monthPeriods(std::int64_t firstDay, std::int64_t lastDay, int months) {
    Axis axis;
    axis.first = monthPeriodStart(firstDay, months);
    for (std::int64_t day = axis.first; day <= lastDay;) {
        const std::int64_t next = addMonths(day, months);
        axis.periods.push_back({day, next, months < 12 ? monthLabel(day) : yearLabel(day)});
        day = next;
    }
    axis.end = axis.periods.back().end;
    return axis;
}

// How many periods of `months` months the days need, without making them.
std::int64_t monthPeriodCount(std::int64_t firstDay, std::int64_t lastDay, int months) {
    const year_month_day a = civil(monthPeriodStart(firstDay, months));
    const year_month_day b = civil(lastDay);
    const std::int64_t spanned = (static_cast<int>(b.year()) - static_cast<int>(a.year())) * 12 +
                                 static_cast<int>(unsigned{b.month()}) - static_cast<int>(unsigned{a.month()});
    return spanned / months + 1;
}

}  // namespace

Axis make(std::int64_t firstDay, std::int64_t lastDay, int maxLabels) {
    const std::int64_t limit = std::max(maxLabels, 1);
    lastDay = std::clamp(lastDay, kEarliestDay + kShortestSpan, kLatestDay);
    firstDay = std::clamp(firstDay, kEarliestDay, lastDay - kShortestSpan + 1);

    // Day labels and week labels name no year: a year's worth of them at most.
    const std::int64_t dayCount = lastDay - firstDay + 1;
    if (dayCount <= std::min<std::int64_t>(limit, 365))
        return fixedPeriods(firstDay, lastDay, 1);
    // Julian day 0 was a Monday.
    const std::int64_t monday = firstDay - firstDay % 7;
    if ((lastDay - monday) / 7 + 1 <= std::min<std::int64_t>(limit, 52))
        return fixedPeriods(monday, lastDay, 7);
    for (const int months : {1, 2, 3, 6}) {
        if (monthPeriodCount(firstDay, lastDay, months) <= limit)
            return monthPeriods(firstDay, lastDay, months);
    }
    for (int years = 1;; years *= 10) {
        for (const int each : {years, 2 * years, 5 * years}) {
            if (monthPeriodCount(firstDay, lastDay, 12 * each) <= limit || each >= 10000)
                return monthPeriods(firstDay, lastDay, 12 * each);
        }
    }
}

}  // namespace dayaxis
