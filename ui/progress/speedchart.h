#pragma once

#include <vector>

#include "core/progress/answerrecord.h"

class QChart;

// The chart "Hitrost branja": words read per minute on each day, from the
// right answers of the word drills and the text drill.
namespace speedchart {

// Gives an empty chart its axes and its one series.
void setUp(QChart* chart);
// Shows the days' speeds over the days that pattern's date axis shows, with
// the same dates and ticks, so that the chart lines up with the one beside it.
// Days without right answers to words have no point.
void fill(QChart* chart, const std::vector<progress::DayTotals>& days, const QChart* pattern);

}  // namespace speedchart
