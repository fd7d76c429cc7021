#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/words/textplaces.h"
#include "ui/words/wordentries.h"

class HistoryStore;
class QWidget;
class WordRun;
namespace words {
class CommonWords;
class WordIndex;
class WordList;
struct TextDocument;
}  // namespace words

// The drills of real words for the main window: the dictionary, loaded and
// indexed off the main thread at start; the learner's texts, read off the
// main thread, with the place where each stopped kept in the settings store;
// and the course over the answer history. Each entry ends in runReady with a
// run for the exercise page, or in problem with the reason in Slovenian.
class WordDrills : public QObject {
    Q_OBJECT

public:
    explicit WordDrills(QObject* parent = nullptr);
    // Waits a few seconds at most for a load still running.
    ~WordDrills() override;

    // Debian's Slovene dictionary (package hunspell-sl).
    static QString defaultDictionaryPath();
    // The ranked list of common words that the program carries.
    static QString commonWordsPath();
    // Starts loading the dictionary; entriesChanged tells when it is done.
    void loadDictionary(const QString& dicPath);
    bool dictionaryLoading() const { return m_loadingDictionary; }

    // The history the course reads and advances; without one there is no course.
    void setHistory(HistoryStore* history);
    // A parent for the dialog "Moje besedilo".
    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }

    WordEntries entries() const;

    void startDictionary();
    void startCourse();
    // Asks for a text (the dialog "Moje besedilo") and starts it.
    void startText();
    void openTextFile(const QString& path);
    void openPastedText(const QString& text);
    bool textLoading() const { return m_loadingText; }

    // The letters of the course's order that the course's words (those it
    // would take now) allow under the first `unlocked` ones, bit per place.
    std::uint64_t coursePracticable(int unlocked);

    // The file read last (for "Nadaljuj"), empty when none.
    QString lastTextFile() const;
    // The stored name of the list of places in texts.
    static const std::string& placesName();

signals:
    void entriesChanged();
    void runReady(const std::shared_ptr<WordRun>& run);
    // A text could not be read or a run cannot start.
    void problem(const QString& text);

private:
    struct LoadedText;
    void textLoaded(const std::shared_ptr<LoadedText>& loaded);
    std::size_t placeOf(const std::string& key) const;
    void rememberPlace(const std::string& key, std::size_t offset);
    void readText(std::function<std::shared_ptr<LoadedText>()> work);

    // The stored places of the texts read (none when nothing can be read).
    words::TextPlaces storedPlaces() const;
    // Indexes the dictionary and the text anew when the switches changed.
    void refreshIndexes();

    // The common words, and those of them that the dictionary holds.
    std::shared_ptr<const words::CommonWords> m_common;
    std::shared_ptr<const words::CommonWords> m_dictionaryCommon;
    std::shared_ptr<const words::WordIndex> m_dictionary;
    QString m_dictionaryProblem;
    bool m_loadingDictionary = false;
    bool m_loadingText = false;
    std::shared_ptr<const words::TextDocument> m_text;
    std::shared_ptr<const words::WordIndex> m_textIndex;
    HistoryStore* m_history = nullptr;
    std::unique_ptr<class HistoryCourse> m_courseHistory;
    QPointer<QWidget> m_dialogParent;
    template <class Result>
    void inBackground(std::function<Result()> work, std::function<void(Result)> done);

    // The threads that read the dictionary and the texts.
    struct Background;
    Background* m_background;
};

Q_DECLARE_METATYPE(std::shared_ptr<WordRun>)
