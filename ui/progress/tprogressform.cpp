#include "ui/progress/tprogressform.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <bit>
#include <limits>
#include <map>

#include "core/progress/countscale.h"
#include "core/progress/course.h"
#include "core/progress/dayaxis.h"
#include "core/progress/drillweights.h"
#include "core/progress/readingspeed.h"
#include "core/transcription/alphabet.h"
#include "core/transcription/engine.h"
#include "qtcore/qtext.h"
#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/progress/historystore.h"
#include "ui/progress/speedchart.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/localetext.h"
#include "ui/widgets/messages.h"
#include "ui/widgets/tengwarfont.h"
#include "ui/widgets/windowfont.h"
#include "ui/widgets/windowframe.h"
#include "ui_tprogressform.h"

namespace {

constexpr int kConfusionRows = 50;
// The reading speed on the course's tab: over this many latest right answers to words.
constexpr int kSpeedAnswers = 50;


// A letter as the exercise would show it alone (full transcription with the
// stored switches).
QString tengwarOf(unsigned char letter) {
    TConvertData settings;
    return fromFontCodes(LatinToTengwar(std::string(1, static_cast<char>(letter)), false, settings, false));
}

// A letter's own name for the learner, on one line.
QString letterName(unsigned char letter) {
    QString meaning = fromCp1250(alphabet::meaning(letter));
    meaning.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return meaning;
}

QString percent(int part, int whole) {
    return percentText(whole == 0 ? 0.0 : 100.0 * part / whole);
}

QString seconds(double ms) {
    return QLocale().toString(ms / 1000.0, 'f', 2) + QStringLiteral(" s");
}

// "še 1 odgovor", "še 2 odgovora", "še 3 odgovori", "še 5 odgovorov".
QString answersToGo(int count) {
    return QStringLiteral("še %1 %2").arg(count).arg(countWord(count, QStringLiteral("odgovor"),
                                                               QStringLiteral("odgovora"),
                                                               QStringLiteral("odgovori"),
                                                               QStringLiteral("odgovorov")));
}

qint64 dayStart(qint64 julianDay) {
    return QDateTime(QDate::fromJulianDay(julianDay), QTime(0, 0)).toMSecsSinceEpoch();
}

}  // namespace

TProgressForm::TProgressForm(HistoryStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint),
      m_store(store),
      ui(std::make_unique<Ui::TProgressForm>()) {
    setFont(windowFont());
    ui->setupUi(this);

    QTableWidget* grid = ui->MrezaCrk;
    const std::string_view letters = alphabet::ruleLetters();
    grid->setColumnCount(kColumns);
    grid->setRowCount(static_cast<int>((letters.size() + kColumns - 1) / kColumns));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (std::size_t k = 0; k < letters.size(); ++k) {
        const auto letter = static_cast<unsigned char>(letters[k]);
        auto* cell = new QTableWidgetItem;
        const QString tengwar = tengwarOf(letter);
        if (tengwar.trimmed().isEmpty()) {
            // A letter with no glyph of its own (the separator, the space).
            cell->setText(letter == ' ' ? QStringLiteral("␣") : fromCp1250(std::string(1, letters[k])));
        } else {
            cell->setText(tengwar);
            cell->setFont(tengwarFont(24));
        }
        cell->setTextAlignment(Qt::AlignCenter);
        cell->setData(Qt::UserRole, static_cast<int>(letter));
        // Said by the letter's name, not by the Tengwar font's codes.
        cell->setData(Qt::AccessibleTextRole, letterName(letter));
        grid->setItem(static_cast<int>(k) / kColumns, static_cast<int>(k) % kColumns, cell);
    }

    QTableWidget* table = ui->TabelaZamenjav;
    table->setColumnCount(4);
    table->setHorizontalHeaderLabels({QStringLiteral("Tengwar"), QStringLiteral("Pravilno"),
                                      QStringLiteral("Prebrali ste"), QStringLiteral("Kolikokrat")});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->setAccessibleName(QStringLiteral("Črke"));
    table->setAccessibleName(QStringLiteral("Zamenjave"));

    // The charts are made once; a refresh replaces their points. In a window
    // too low for both (a small screen, a large scale) they scroll instead of
    // shrinking to nothing.
    auto* chartsScroll = new QScrollArea(ui->TabSkoziCas);
    chartsScroll->setObjectName(QStringLiteral("GrafiDrsnik"));
    chartsScroll->setWidgetResizable(true);
    chartsScroll->setFrameShape(QFrame::NoFrame);
    chartsScroll->setAccessibleName(QStringLiteral("Grafi"));
    auto* charts = new QWidget;
    auto* chartsLayout = new QVBoxLayout(charts);
    chartsLayout->setContentsMargins(0, 0, 0, 0);
    chartsScroll->setWidget(charts);
    ui->GrafiOkvir->addWidget(chartsScroll);
    const auto makeChart = [this, charts, chartsLayout](const QString& title) {
        auto* chart = new QChart;
        chart->setTitle(title);
        QFont small = font();
        chart->setTitleFont(small);
        chart->legend()->setAlignment(Qt::AlignBottom);
        chart->legend()->setFont(small);
        chart->layout()->setContentsMargins(0, 0, 0, 0);
        chart->setBackgroundRoundness(0);
        chart->setLocalizeNumbers(true);
        auto* view = new QChartView(chart, charts);
        view->setAccessibleName(title);
        view->setMinimumHeight(180);
        view->setRenderHint(QPainter::Antialiasing);
        chartsLayout->addWidget(view);
        return view;
    };
    m_accuracyChart = makeChart(QStringLiteral("Pravilni odgovori in povprečen čas na dan"));
    m_accuracyChart->setObjectName(QStringLiteral("GrafUspeh"));
    m_speedChart = makeChart(QStringLiteral("Hitrost branja na dan (vaje z besedami)"));
    m_speedChart->setObjectName(QStringLiteral("GrafHitrost"));
    setHelpContext(m_speedChart, 1724);
    speedchart::setUp(m_speedChart->chart());
    m_answersChart = makeChart(QStringLiteral("Odgovori na dan"));
    m_answersChart->setObjectName(QStringLiteral("GrafOdgovori"));
    {
        QChart* chart = m_accuracyChart->chart();
        auto* days = new QCategoryAxis;
        auto* share = new QValueAxis;
        auto* time = new QValueAxis;
        share->setRange(0, 100);
        share->setLabelFormat(QStringLiteral("%.0f %"));
        time->setLabelFormat(QStringLiteral("%.1f s"));
        chart->addAxis(days, Qt::AlignBottom);
        chart->addAxis(share, Qt::AlignLeft);
        chart->addAxis(time, Qt::AlignRight);
        auto* accuracy = new QLineSeries;
        accuracy->setName(QStringLiteral("pravilni odgovori"));
        accuracy->setPointsVisible(true);
        auto* average = new QLineSeries;
        average->setName(QStringLiteral("povprečen čas"));
        average->setPointsVisible(true);
        chart->addSeries(accuracy);
        chart->addSeries(average);
        accuracy->attachAxis(days);
        accuracy->attachAxis(share);
        average->attachAxis(days);
        average->attachAxis(time);
    }
    {
        QChart* chart = m_answersChart->chart();
        auto* days = new QCategoryAxis;
        auto* count = new QValueAxis;
        count->setLabelFormat(QStringLiteral("%.0f"));
        chart->addAxis(days, Qt::AlignBottom);
        chart->addAxis(count, Qt::AlignLeft);
        auto* upper = new QLineSeries(chart);
        auto* area = new QAreaSeries(upper);
        area->setName(QStringLiteral("odgovori"));
        chart->addSeries(area);
        area->attachAxis(days);
        area->attachAxis(count);
    }
    for (QAbstractAxis* axis :
         m_accuracyChart->chart()->axes() + m_answersChart->chart()->axes() + m_speedChart->chart()->axes()) {
        axis->setLabelsFont(font());
        // Long labels are never cut to "...": the axis takes the room it needs.
        axis->setTruncateLabels(false);
    }

    // The days' labels follow the room the charts have.
    m_answersChart->installEventFilter(this);

    makeCourseTab();

    setHelpContext(this, 1701);
    setHelpContext(ui->LbPovzetek, 1702);
    setHelpContext(ui->Strani, 1703);
    setHelpContext(ui->TabCrke, 1704);
    setHelpContext(ui->TabZamenjave, 1705);
    setHelpContext(ui->TabSkoziCas, 1706);
    setHelpContext(ui->PnlObdobje, 1707);
    setHelpContext(ui->RbDni30, 1707);
    setHelpContext(ui->RbDni90, 1707);
    setHelpContext(ui->RbVse, 1707);
    setHelpContext(ui->BtnVadi, 1708);
    setHelpContext(ui->CbBelezi, 1709);
    setHelpContext(ui->BtnIzvozi, 1710);
    setHelpContext(ui->BtnIzbrisi, 1711);
    setHelpContext(ui->BtnZapri, 1712);
    installContextHelp(this);

    connect(ui->BtnVadi, &QPushButton::clicked, this,
            guardedSlot(this, [this](auto&&...) { BtnVadiClick(); }));
    connect(ui->CbBelezi, &QCheckBox::clicked, this,
            guardedSlot(this, [this](auto&&...) { CbBeleziClick(); }));
    connect(ui->BtnIzvozi, &QPushButton::clicked, this,
            guardedSlot(this, [this](auto&&...) { BtnIzvoziClick(); }));
    connect(ui->BtnIzbrisi, &QPushButton::clicked, this,
            guardedSlot(this, [this](auto&&...) { BtnIzbrisiClick(); }));
    connect(ui->BtnZapri, &QPushButton::clicked, this, &QWidget::close);
    for (QRadioButton* range : {ui->RbDni30, ui->RbDni90, ui->RbVse}) {
        connect(range, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                guarded(this, [this] {
                    fillCharts();
                    fillSpeedChart();
                    // A history set aside while the charts were read: the
                    // letters and mistakes must not stay from the old one.
                    if (m_store.revision() != m_shownRevision)
                        refresh();
                });
        });
    }
    resize(620, 540);
}

TProgressForm::~TProgressForm() = default;

void TProgressForm::setClock(std::function<QDateTime()> clock) {
    m_clock = std::move(clock);
}

QDateTime TProgressForm::now() const {
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

void TProgressForm::setRules(const ReadBackRules* rules) {
    m_rules = rules != nullptr ? rules : &readback::defaultRules();
}

QString TProgressForm::reading(unsigned char letter) const {
    const std::string& text = (*m_rules)[letter];
    return text.empty() ? QStringLiteral("(nič)") : fromCp1250(text);
}

void TProgressForm::setRange(Range range) {
    QRadioButton* button = range == Days30 ? ui->RbDni30 : range == Days90 ? ui->RbDni90 : ui->RbVse;
    button->setChecked(true);
}

QColor TProgressForm::letterColour(int shown, int wrong) {
    if (shown <= 0)
        return QColor(0xD4, 0xD4, 0xD4);
    const double right = static_cast<double>(shown - wrong) / shown;
    // Half right or worse is red; from there the hue runs to green.
    const double share = std::clamp((right - 0.5) / 0.5, 0.0, 1.0);
    return QColor::fromHsv(static_cast<int>(std::lround(120 * share)), 120, 250);
}

void TProgressForm::refresh() {
    // A history found damaged while it is read is set aside and a new one
    // begun: what was drawn from the old one is drawn again from the new.
    for (int pass = 0; pass < 2; ++pass) {
        m_shownRevision = m_store.revision();
        ui->CbBelezi->setChecked(m_store.recordingEnabled());
        fillLetters();
        fillConfusions();
        fillCharts();
        fillSpeedChart();
        fillCourse();
        if (m_store.revision() == m_shownRevision)
            break;
    }
}

void TProgressForm::showEvent(QShowEvent* event) {
    // It opens no larger than the screen's free area (another scale, a small
    // screen): the charts and tables shrink or scroll; once the window system
    // has framed it, the frame is kept wholly on the screen.
    if (!event->spontaneous()) {
        const QRect available = availableAreaFor(frameGeometry());
        if (!available.isEmpty()) {
            constexpr QSize kFrameAllowance(16, 48);
            resize(size().boundedTo(available.size() - kFrameAllowance).expandedTo(minimumSizeHint()));
        }
        afterFrameKnown(this, [this] { keepOnScreen(this); });
    }
    QWidget::showEvent(event);
    guarded(this, [this] { refresh(); });
}

void TProgressForm::keyPressEvent(QKeyEvent* event) {
    // Esc closes the window, as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TProgressForm::event(QEvent* event) {
    // Coming back to the window after practising shows the new answers.
    if (event->type() == QEvent::WindowActivate && isVisible() && m_store.revision() != m_shownRevision)
        guarded(this, [this] { refresh(); });
    return QWidget::event(event);
}

void TProgressForm::fillLetters() {
    std::map<unsigned char, progress::LetterHistory> byLetter;
    for (const progress::LetterHistory& h : m_store.letterHistory())
        byLetter[h.letter] = h;
    QTableWidget* grid = ui->MrezaCrk;
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < kColumns; ++column) {
            QTableWidgetItem* cell = grid->item(row, column);
            if (cell == nullptr)
                continue;
            const auto letter = static_cast<unsigned char>(cell->data(Qt::UserRole).toInt());
            const auto found = byLetter.find(letter);
            const progress::LetterHistory h =
                found == byLetter.end() ? progress::LetterHistory{} : found->second;
            cell->setBackground(letterColour(h.shown, h.wrong));
            QString tip = QStringLiteral("%1: %2").arg(fromCp1250(std::string(1, static_cast<char>(letter))),
                                                       letterName(letter).toHtmlEscaped());
            if (h.shown == 0) {
                tip += QStringLiteral("<br>Še ni bila na vrsti.");
            } else {
                tip += QStringLiteral("<br>Odgovorov: %1<br>Pravilnih: %2 (%3)<br>Povprečen čas: %4")
                           .arg(h.shown)
                           .arg(h.shown - h.wrong)
                           .arg(percent(h.shown - h.wrong, h.shown), seconds(h.averageMs));
            }
            cell->setToolTip(tip);
        }
    }
    qint64 correct = 0;
    const qint64 total = m_store.answerCount(&correct);
    QString summary = QStringLiteral("Odgovorov v zgodovini: %1, pravilnih: %2 (%3).")
                          .arg(total)
                          .arg(correct)
                          .arg(percent(static_cast<int>(correct), static_cast<int>(total)));
    if (!m_store.recordingEnabled())
        summary += QStringLiteral(" Beleženje odgovorov je izklopljeno.");
    ui->LbPovzetek->setText(summary);
}

void TProgressForm::fillConfusions() {
    const std::vector<progress::Confusion> confusions = m_store.confusions(kConfusionRows);
    QTableWidget* table = ui->TabelaZamenjav;
    table->setRowCount(static_cast<int>(confusions.size()));
    for (int row = 0; row < static_cast<int>(confusions.size()); ++row) {
        const progress::Confusion& c = confusions[row];
        auto* tengwar = new QTableWidgetItem(tengwarOf(c.letter));
        tengwar->setFont(tengwarFont(20));
        tengwar->setTextAlignment(Qt::AlignCenter);
        tengwar->setData(Qt::AccessibleTextRole, letterName(c.letter));
        table->setItem(row, 0, tengwar);
        auto* letter = new QTableWidgetItem(reading(c.letter));
        letter->setToolTip(letterName(c.letter));
        table->setItem(row, 1, letter);
        table->setItem(
            row, 2,
            new QTableWidgetItem(c.typed.empty() ? QStringLiteral("(izpuščeno)") : fromCp1250(c.typed)));
        auto* count = new QTableWidgetItem(QString::number(c.count));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, 3, count);
    }
    table->resizeRowsToContents();
}

void TProgressForm::fillCharts() {
    const qint64 today = now().date().toJulianDay();
    qint64 from = std::numeric_limits<qint64>::min();
    if (ui->RbDni30->isChecked())
        from = today - 29;
    else if (ui->RbDni90->isChecked())
        from = today - 89;
    const std::vector<progress::DayTotals> days = m_store.days(from);
    if (from == std::numeric_limits<qint64>::min())
        from = days.empty() ? today : std::min<qint64>(days.front().julianDay, today);

    QList<QPointF> accuracy;
    QList<QPointF> average;
    QList<QPointF> answers;
    double slowest = 1.0;
    int most = 1;
    std::size_t next = 0;
    const qint64 last = days.empty() ? today : std::max<qint64>(today, days.back().julianDay);
    for (qint64 day = from; day <= last; ++day) {
        const double x = static_cast<double>(dayStart(day) + 12 * 3600 * 1000);
        if (next < days.size() && days[next].julianDay == day) {
            const progress::DayTotals& d = days[next++];
            accuracy.append({x, 100.0 * d.correct / std::max(1, d.answers)});
            average.append({x, d.averageMs / 1000.0});
            // One bar a day, in the middle four fifths of the day.
            const double dayLength = 24.0 * 3600 * 1000;
            const double left = x - 0.4 * dayLength;
            const double right = x + 0.4 * dayLength;
            const double count = d.answers;
            answers.append({{left, 0.0}, {left, count}, {right, count}, {right, 0.0}});
            slowest = std::max(slowest, d.averageMs / 1000.0);
            most = std::max(most, d.answers);
        }
    }

    m_chartDays = {from, std::max(last, from)};
    m_axisRoom = 0;
    layOutDays();
    {
        QChart* chart = m_accuracyChart->chart();
        const auto series = chart->series();
        static_cast<QLineSeries*>(series[0])->replace(accuracy);
        static_cast<QLineSeries*>(series[1])->replace(average);
        auto* time = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).back());
        time->setRange(0, std::ceil(slowest));
        time->applyNiceNumbers();
    }
    {
        QChart* chart = m_answersChart->chart();
        auto* area = static_cast<QAreaSeries*>(chart->series().front());
        area->upperSeries()->replace(answers);
        auto* count = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
        const progress::CountScale scale = progress::countScale(most);
        count->setRange(0, scale.top);
        count->setTickCount(scale.ticks());
    }
}

void TProgressForm::fillSpeedChart() {
    speedchart::fill(m_speedChart->chart(), m_store.days(m_chartDays.first), m_chartDays.first,
                     m_chartDays.second);
}

// The date axis of both charts: a label per day, week, month or more, as many
// as the charts' width holds, each under its own stretch of the axis.
void TProgressForm::layOutDays() {
    const int width = m_answersChart->isVisible() ? m_answersChart->width() : this->width() - 30;
    const QFontMetrics metrics(m_answersChart->chart()->axes(Qt::Horizontal).front()->labelsFont());
    // How many labels as wide as `widest` fit, with room on both sides; the
    // value axes beside the plot take about a hundred pixels.
    const auto room = [&](const QString& widest) {
        const int label = metrics.horizontalAdvance(widest) + 2 * metrics.averageCharWidth();
        return std::max(1, (width - 110) / std::max(1, label));
    };
    // Days and weeks are named by day and month ("30. 12."), longer periods
    // by month and year ("12. 2026").
    const int dayRoom = room(QStringLiteral("00. 00."));
    if (dayRoom == m_axisRoom)
        return;
    m_axisRoom = dayRoom;
    dayaxis::Axis axis = dayaxis::make(m_chartDays.first, m_chartDays.second, dayRoom);
    if (axis.periods.front().end - axis.periods.front().first > 7)
        axis = dayaxis::make(m_chartDays.first, m_chartDays.second, room(QStringLiteral("00. 0000")));
    // A day's label stands under its bar; a week's, month's or year's on the
    // line where it begins.
    const bool daily = axis.periods.front().end - axis.periods.front().first == 1;
    const auto at = [](qint64 julianDay) { return static_cast<qreal>(dayStart(julianDay)); };
    for (QChartView* view : {m_accuracyChart, m_answersChart, m_speedChart}) {
        auto* x = static_cast<QCategoryAxis*>(view->chart()->axes(Qt::Horizontal).front());
        for (const QString& label : x->categoriesLabels())
            x->remove(label);
        x->setLabelsPosition(daily ? QCategoryAxis::AxisLabelsPositionCenter
                                   : QCategoryAxis::AxisLabelsPositionOnValue);
        x->setStartValue(daily ? at(axis.first) : at(axis.first) - 1);
        for (const dayaxis::Period& period : axis.periods)
            x->append(QString::fromStdString(period.label), daily ? at(period.end) : at(period.first));
        x->setRange(at(axis.first), at(axis.end));
    }
}

bool TProgressForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_answersChart && event->type() == QEvent::Resize && m_axisRoom != 0)
        guarded(this, [this] { layOutDays(); });
    return QWidget::eventFilter(watched, event);
}

void TProgressForm::setCoursePracticable(std::function<std::uint64_t(int)> practicable) {
    m_coursePracticable = std::move(practicable);
}

void TProgressForm::makeCourseTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QStringLiteral("TabTecaj"));
    auto* layout = new QVBoxLayout(tab);
    m_courseSummary = new QLabel(tab);
    m_courseSummary->setObjectName(QStringLiteral("LbTecaj"));
    m_courseSummary->setWordWrap(true);
    layout->addWidget(m_courseSummary);
    m_courseTable = new QTableWidget(tab);
    m_courseTable->setObjectName(QStringLiteral("TabelaTecaja"));
    m_courseTable->setAccessibleName(QStringLiteral("Črke tečaja"));
    m_courseTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_courseTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_courseTable->setColumnCount(6);
    m_courseTable->setHorizontalHeaderLabels({QStringLiteral("Tengwar"), QStringLiteral("Črka"),
                                              QStringLiteral("Stanje"), QStringLiteral("Pravilni"),
                                              QStringLiteral("Čas na črko"), QStringLiteral("Do obvladanja")});
    m_courseTable->verticalHeader()->hide();
    m_courseTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_courseTable->horizontalHeader()->setStretchLastSection(true);
    const std::string_view order = course::order();
    m_courseTable->setRowCount(static_cast<int>(order.size()));
    for (int row = 0; row < static_cast<int>(order.size()); ++row) {
        const auto letter = static_cast<unsigned char>(order[static_cast<std::size_t>(row)]);
        auto* tengwar = new QTableWidgetItem(tengwarOf(letter));
        tengwar->setFont(tengwarFont(20));
        tengwar->setTextAlignment(Qt::AlignCenter);
        m_courseTable->setItem(row, 0, tengwar);
        m_courseTable->setItem(row, 1, new QTableWidgetItem(fromCp1250(course::letterCaption(letter))));
        for (int column = 2; column < 6; ++column)
            m_courseTable->setItem(row, column, new QTableWidgetItem);
    }
    layout->addWidget(m_courseTable);
    ui->Strani->addTab(tab, QStringLiteral("Tečaj"));
    setHelpContext(tab, 1722);
    setHelpContext(m_courseSummary, 1722);
    setHelpContext(m_courseTable, 1723);
}

void TProgressForm::fillCourse() {
    const int stored = m_store.courseLetters();
    const int unlocked = course::clampUnlocked(stored);
    const std::string_view order = course::order();
    const auto practicableAt = [this](int count) {
        return m_coursePracticable ? m_coursePracticable(count) : ~std::uint64_t{0};
    };
    const std::uint64_t practicable = practicableAt(unlocked);
    // The letter that comes next: the first after the unlocked ones that has
    // words as soon as it is unlocked; those before it are passed over.
    int next = unlocked;
    while (next < course::letterCount() && ((practicableAt(next + 1) >> next) & 1U) == 0)
        ++next;
    int mastered = 0;
    for (int row = 0; row < static_cast<int>(order.size()); ++row) {
        const auto letter = static_cast<unsigned char>(order[static_cast<std::size_t>(row)]);
        const bool open = row < unlocked && ((practicable >> row) & 1U) != 0;
        const course::Mastery m = course::assess(m_store.recentResults(letter, course::kWindow));
        QString state;
        QString distance;
        QColor colour(0xE4, 0xE4, 0xE4);
        if (row < unlocked && !open) {
            state = QStringLiteral("preskočena");
            distance = QStringLiteral("zdaj ni besed s to črko; pride na vrsto, ko bodo");
            colour = QColor(0xF4, 0xF4, 0xF4);
        } else if (!open) {
            state = row == next ? QStringLiteral("naslednja")
                    : row < next ? QStringLiteral("bo preskočena")
                                 : QStringLiteral("zaklenjena");
        } else {
            state = QStringLiteral("odklenjena");
            colour = m.mastered ? QColor(0xC8, 0xEE, 0xC8) : QColor(0xFF, 0xF1, 0xB8);
        }
        if (m.mastered && open) {
            distance = QStringLiteral("obvladana");
            ++mastered;
        } else if (open) {
            QStringList missing;
            if (m.answers < course::kWindow)
                missing << answersToGo(course::kWindow - m.answers);
            if (m.answers > 0 && 100 * m.right < course::kRightPercent * m.answers)
                missing << QStringLiteral("več pravilnih (vsaj %1 %)").arg(course::kRightPercent);
            if (m.answers > 0 && m.medianMs > course::kMedianMsPerLetter)
                missing << QStringLiteral("hitreje (največ %1)").arg(seconds(course::kMedianMsPerLetter));
            distance = missing.join(QStringLiteral(", "));
        }
        m_courseTable->item(row, 2)->setText(state);
        m_courseTable->item(row, 3)->setText(
            m.answers == 0 ? QString() : QStringLiteral("%1 od %2").arg(m.right).arg(m.answers));
        m_courseTable->item(row, 4)->setText(m.answers == 0 ? QString() : seconds(m.medianMs));
        m_courseTable->item(row, 5)->setText(distance);
        for (int column = 0; column < 6; ++column)
            m_courseTable->item(row, column)->setBackground(colour);
    }
    QString summary;
    if (stored == 0) {
        summary = QStringLiteral("Tečaja še niste začeli: na strani »Naloge« izberite »Nova naloga« in "
                                 "»Tečaj«. Začne se s prvimi %1 črkami.")
                      .arg(course::kStartLetters);
    } else {
        summary = QStringLiteral("Vaših črk: %1 od %2, obvladanih: %3.")
                      .arg(std::popcount(course::learnerLetters(unlocked, practicable)))
                      .arg(course::letterCount())
                      .arg(mastered);
        if (next < course::letterCount()) {
            summary += QStringLiteral(" Naslednja: „%1“.").arg(
                fromCp1250(course::letterCaption(static_cast<unsigned char>(order[static_cast<std::size_t>(next)]))));
        }
    }
    const progress::ReadingTime reading = m_store.recentReading(kSpeedAnswers);
    summary += reading.words == 0
                   ? QStringLiteral(" Hitrost branja bo znana po prvih pravilno prebranih besedah.")
                   : QStringLiteral(" Hitrost branja (besed na minuto, iz največ %1 zadnjih pravilno "
                                    "prebranih besed): %2.")
                         .arg(kSpeedAnswers)
                         .arg(QLocale().toString(progress::wordsPerMinute(reading), 'f', 1));
    summary += QStringLiteral(" Črka je obvladana, ko je od zadnjih %1 odgovorov z njo vsaj %2 % pravilnih "
                              "in je srednji čas največ %3 na črko; takrat se odklene naslednja. Črka, s "
                              "katero zdaj ni nobene besede (nemi e, ko je njegovo stikalo izklopljeno), se "
                              "preskoči: ni odklenjena, ni šteta in ni naznanjena; na vrsto pride na svojem "
                              "mestu, ko so besede z njo (drugo stikalo, drugo besedilo).")
                   .arg(course::kWindow)
                   .arg(course::kRightPercent)
                   .arg(seconds(course::kMedianMsPerLetter));
    m_courseSummary->setText(summary);
}

void TProgressForm::BtnVadiClick() {
    const TaskDescriptions drill =
        progress::drillDescriptions(m_store.letterHistory(), now().toSecsSinceEpoch());
    if (drill.taskCount() == 0) {
        messages::information(this,
                              QStringLiteral("V zgodovini še ni odgovorov. Rešite nekaj nalog na strani "
                                             "»Naloge«, potem bo program vedel, katere črke so vam šibke."),
                              QStringLiteral("Napredek"));
        return;
    }
    emit drillRequested(drill);
}

void TProgressForm::CbBeleziClick() {
    m_store.setRecordingEnabled(ui->CbBelezi->isChecked());
    fillLetters();
}

void TProgressForm::BtnIzvoziClick() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Izvoz zgodovine odgovorov"),
                                     QDir::home().filePath(QStringLiteral("zgodovina.csv")),
                                     QStringLiteral("Datoteke CSV (*.csv);;Vse datoteke (*)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_store.exportCsv(path, &error)) {
        messages::error(this,
                        QStringLiteral("Zgodovine ni bilo mogoče izvoziti v „%1“: %2")
                            .arg(QDir::toNativeSeparators(path), error),
                        QStringLiteral("Napredek"));
    }
}

void TProgressForm::BtnIzbrisiClick() {
    // What is deleted cannot be restored: Enter alone answers "Ne".
    using messages::Button;
    if (messages::askButtons(
            this, QStringLiteral("Res izbrišem vso zgodovino odgovorov? Izbrisanega ni mogoče vrniti."),
            QStringLiteral("Izbriši zgodovino"), messages::Icon::Warning, {Button::Yes, Button::No},
            Button::No, Button::No) != Button::Yes)
        return;
    m_store.clear();
    refresh();
}
