#include "ui/progress/speedchart.h"

#include <QChart>
#include <QDate>
#include <QDateTime>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "core/progress/readingspeed.h"

namespace speedchart {

void setUp(QChart* chart) {
    // The days are laid out by the window, as on the charts above it.
    auto* days = new QCategoryAxis;
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

void fill(QChart* chart, const std::vector<progress::DayTotals>& days, qint64 first, qint64 last) {
    QList<QPointF> points;
    double fastest = 0;
    for (const progress::DayTotals& day : days) {
        const double perMinute = progress::wordsPerMinute(day.reading);
        if (day.julianDay < first || day.julianDay > last || perMinute <= 0)
            continue;
        // At noon, over the middle of the day's stretch of the axis.
        const qint64 midnight = QDateTime(QDate::fromJulianDay(day.julianDay), QTime(0, 0)).toMSecsSinceEpoch();
        points.append({static_cast<double>(midnight + 12 * 3600 * 1000), perMinute});
        fastest = std::max(fastest, perMinute);
    }
    static_cast<QLineSeries*>(chart->series().front())->replace(points);
    auto* y = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    // Round steps of ten words a minute, a step above the fastest day, so
    // that its point is not drawn on the chart's edge.
    y->setRange(0, 10.0 * (std::floor(fastest / 10.0) + 1));
    y->applyNiceNumbers();
}

}  // namespace speedchart
