#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

namespace Ui {
class RulesPage;
}
class QKeyEvent;
class QLineEdit;
class QPainter;
class TrainerSession;

// The page "Prepis v latinico": the read-back rules, letter by letter. The
// letters of the alphabet stand in columns, six at a time; each column shows
// the letter, its Tengwar under the current switches, its meaning and, in an
// entry box, its Latin reading. Edits go into the session's EditRules;
// "Potrdi" stores them and makes them the ActiveRules.
class RulesPage : public QWidget {
    Q_OBJECT

public:
    // The three picture rows.
    enum class Row { Vhod, Tengwar, Pomen };
    static constexpr int kColumns = 6;
    // The longest reading the user may type into an entry box.
    static constexpr int kMaxReading = 5;

    explicit RulesPage(TrainerSession& session, QWidget* parent = nullptr);
    ~RulesPage() override;

    // Called once both rule tables of the session are loaded: column letters,
    // scroll range, and the six entry boxes.
    void setUpRules();
    // The check box "Vedno shrani ob izhodu", set from flag 31 at start
    // (without writing the flag back).
    void setAutoSave(bool on);

    // Repaints the picture rows and fills the entry boxes from EditRules;
    // RulesChanged stays as it was.
    void RefreshRulesPage();

    // The scroll position: column k (1..6) shows letter position + k - 1 of
    // the rule letters (1-based).
    int position() const;
    // The letter in column k (1..6).
    char columnLetter(int k) const;
    // The text a picture row shows in column k: the letter, its font codes or
    // its meaning (Windows-1250 bytes; font codes for the Tengwar row).
    std::string cellText(Row row, int k) const;

signals:
    // The active rules were confirmed or reset to the defaults: the current
    // exercise item's expected answer has to be read again.
    void activeRulesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EdTransChange(int k);
    bool EdTransKeyDown(int k, const QKeyEvent* event);
    void ConfirmTransBtnClick();
    void CancelTransBtnClick();
    void DefaultTransBtnClick();
    void CbAutoSavePrepisClick();

    void paintRow(QWidget* box, Row row);
    void drawCell(QPainter& painter, const QRect& cell, const QString& text) const;
    void reloadStoredRules();
    QLineEdit* entry(int k) const { return m_entries[static_cast<std::size_t>(k - 1)]; }

    TrainerSession& m_session;
    std::unique_ptr<Ui::RulesPage> ui;
    std::array<QLineEdit*, kColumns> m_entries{};
    std::string m_letters;
    // The last error met while painting the Tengwar row, shown once.
    QString m_paintError;
};
