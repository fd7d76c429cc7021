#pragma once

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>

#include "core/exercise/taskdescriptions.h"
#include "core/readback/readbackrules.h"

namespace Ui {
class TProgressForm;
}
class HistoryStore;
class QChartView;
class QLabel;
class QTableWidget;

// The window "Napredek": what the answer history says of the learner. The
// letters as a table coloured by how reliably each is read, the most frequent
// confusions, accuracy and speed per day, and the drill of the weak letters.
// Also where recording is turned on or off, deleted and exported.
class TProgressForm : public QWidget {
    Q_OBJECT

public:
    enum Range { Days30, Days90, All };

    explicit TProgressForm(HistoryStore& store, QWidget* parent = nullptr);
    ~TProgressForm() override;

    // Reads the history again and redraws every part.
    void refresh();
    // The clock that "today" and the drill's weights are taken from.
    void setClock(std::function<QDateTime()> clock);
    void setRange(Range range);
    // The read-back rules that give each letter's Latin reading (the defaults
    // until set); they must outlive the window.
    void setRules(const ReadBackRules* rules);

    // The letters' table has ten columns; the cell of the k-th letter of the
    // alphabet (0-based).
    static constexpr int kColumns = 10;
    // The colour of a letter's cell: grey when never shown, else from red
    // (read right half the time or less) through yellow to green (always).
    static QColor letterColour(int shown, int wrong);

    // Which letters of the course's order the words of the course allow
    // under the first `unlocked` ones (bit per place); without it every
    // letter counts as practicable.
    void setCoursePracticable(std::function<std::uint64_t(int unlocked)> practicable);

    Ui::TProgressForm& form() { return *ui; }
    QLabel* courseSummary() const { return m_courseSummary; }
    QTableWidget* courseTable() const { return m_courseTable; }
    QChartView* accuracyChart() const { return m_accuracyChart; }
    QChartView* answersChart() const { return m_answersChart; }
    QChartView* speedChart() const { return m_speedChart; }

signals:
    // "Vadi šibke črke": the drill's task, weighted from the history.
    void drillRequested(const TaskDescriptions& drill);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillLetters();
    void fillConfusions();
    void fillCharts();
    // The reading speed per day, over the days the charts show.
    void fillSpeedChart();
    void layOutDays();
    void makeCourseTab();
    void fillCourse();
    void BtnVadiClick();
    void CbBeleziClick();
    void BtnIzvoziClick();
    void BtnIzbrisiClick();
    QDateTime now() const;
    QString reading(unsigned char letter) const;

    HistoryStore& m_store;
    std::unique_ptr<Ui::TProgressForm> ui;
    std::function<QDateTime()> m_clock;
    const ReadBackRules* m_rules = &readback::defaultRules();
    QChartView* m_accuracyChart = nullptr;
    QChartView* m_answersChart = nullptr;
    QChartView* m_speedChart = nullptr;
    QLabel* m_courseSummary = nullptr;
    QTableWidget* m_courseTable = nullptr;
    std::function<std::uint64_t(int)> m_coursePracticable;
    // The first and last day the charts show, and how many labels their
    // date axis had room for (0: to be laid out).
    std::pair<qint64, qint64> m_chartDays{0, 0};
    int m_axisRoom = 0;
    // The store's count of changes when the window was last filled.
    quint64 m_shownRevision = ~quint64{0};
};

Q_DECLARE_METATYPE(TaskDescriptions)
