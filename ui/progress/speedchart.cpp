#include "ui/progress/speedchart.h"

#include <QChart>
#include <QDate>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "core/progress/readingspeed.h"

namespace speedchart {

void setUp(QChart* chart) {
    auto* days = new QDateTimeAxis;
    auto* speed = new QValueAxis;
    speed->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(speed, Qt::AlignLeft);
    auto* series = new QLineSeries;
    series->setName(QStringLiteral("besed na minuto"));
    series->setPointsVisible(true);
    chart->addSeries(series);
    series->attachAxis(days);
    series->attachAxis(speed);
}

void fill(QChart* chart, const std::vector<progress::DayTotals>& days, const QChart* pattern) {
    const auto* shown = static_cast<const QDateTimeAxis*>(pattern->axes(Qt::Horizontal).front());
    const qint64 first = shown->min().date().toJulianDay();
    const qint64 last = shown->max().date().toJulianDay();
    QList<QPointF> points;
    double fastest = 0;
    for (const progress::DayTotals& day : days) {
        const double perMinute = progress::wordsPerMinute(day.reading);
        if (day.julianDay < first || day.julianDay >= last || perMinute <= 0)
            continue;
        const QDateTime noon(QDate::fromJulianDay(day.julianDay), QTime(12, 0));
        points.append({static_cast<double>(noon.toMSecsSinceEpoch()), perMinute});
        fastest = std::max(fastest, perMinute);
    }
    static_cast<QLineSeries*>(chart->series().front())->replace(points);
    auto* x = static_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).front());
    x->setRange(shown->min(), shown->max());
    x->setFormat(shown->format());
    x->setTickCount(shown->tickCount());
    auto* y = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    // Round steps of ten words a minute, a step above the fastest day, so
    // that its point is not drawn on the chart's edge.
    y->setRange(0, 10.0 * (std::floor(fastest / 10.0) + 1));
    y->applyNiceNumbers();
}

}  // namespace speedchart
