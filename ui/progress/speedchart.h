#pragma once

#include <QtGlobal>
#include <vector>

#include "core/progress/answerrecord.h"

class QChart;

// The chart "Hitrost branja": words read per minute on each day, from the
// right answers of the word drills and the text drill.
namespace speedchart {

// Gives an empty chart its axes and its one series.
void setUp(QChart* chart);
// Shows the days' speeds from the Julian day first to last; the window lays
// out the date axis as on the charts beside it. Days without right answers
// to words have no point.
void fill(QChart* chart, const std::vector<progress::DayTotals>& days, qint64 first, qint64 last);

}  // namespace speedchart
