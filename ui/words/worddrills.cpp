#include "ui/words/worddrills.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QThreadPool>

#include <unistd.h>

#include <utility>

#include "core/convert/systemerror.h"
#include "core/exercise/random.h"
#include "core/settings/options.h"
#include "core/transcription/settingssource.h"
#include "core/words/commonwords.h"
#include "core/words/courserun.h"
#include "core/words/dictionaryrun.h"
#include "core/words/textdocument.h"
#include "core/words/textplaces.h"
#include "core/words/textrun.h"
#include "core/words/wordindex.h"
#include "qtcore/qtext.h"
#include "qtcore/regularqfile.h"
#include "ui/progress/historystore.h"
#include "ui/words/ttextform.h"

namespace {

// A text larger than this is not read: it is no story but some other file.
constexpr qint64 kLargestText = 64 * 1024 * 1024;

// How long the end of the program waits for a reading still running; a
// reading stuck in the system (a network folder gone) is left behind.
constexpr int kLongestWaitAtEndMs = 3000;

// A system error as the end of a sentence: "ni dovoljenja".
QString reasonText(int error) {
    QString text = fromCp1250(systemErrorText(error));
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    if (!text.isEmpty()) {
        text[0] = text[0].toLower();
    }
    return text;
}

words::RandomFunction programRandom() {
    return [](int n) { return Random(n); };
}

}  // namespace

// The threads of the drills and what their results reach the main thread
// through. It outlives the drills when a reading does not end in time.
struct WordDrills::Background {
    QThreadPool pool;
    QObject relay;           // on the main thread
    bool abandoned = false;  // read and written on the main thread only
};

// Runs work on the drills' own threads and done with its result on the main
// thread, unless the drills are gone by then.
template <class Result>
void WordDrills::inBackground(std::function<Result()> work, std::function<void(Result)> done) {
    Background* const background = m_background;
    background->pool.start([background, work = std::move(work), done = std::move(done)]() mutable {
        auto result = std::make_shared<Result>(work());
        QMetaObject::invokeMethod(
            &background->relay,
            [background, done = std::move(done), result] {
                if (!background->abandoned) {
                    done(std::move(*result));
                }
            },
            Qt::QueuedConnection);
    });
}

// The course's view of the answer history.
class HistoryCourse : public CourseHistory {
public:
    explicit HistoryCourse(HistoryStore& store) : m_store(store) {}
    int unlockedLetters() override { return m_store.courseLetters(); }
    void setUnlockedLetters(int count) override { m_store.setCourseLetters(count); }
    std::vector<course::RecentResult> recentResults(unsigned char letter, int count) override {
        return m_store.recentResults(letter, count);
    }
    std::vector<progress::LetterHistory> letterHistory() override { return m_store.letterHistory(); }
    bool recording() override { return m_store.recordingEnabled(); }
    std::int64_t now() override { return QDateTime::currentSecsSinceEpoch(); }

private:
    HistoryStore& m_store;
};

// A text as the worker leaves it: the document, or why there is none.
struct WordDrills::LoadedText {
    std::shared_ptr<words::TextDocument> document;
    // Its words indexed for the course.
    std::shared_ptr<const words::WordIndex> index;
    QString problem;
};

WordDrills::WordDrills(QObject* parent)
    : QObject(parent), m_dictionaryProblem(QStringLiteral("Slovar še ni naložen.")), m_background(new Background) {
    qRegisterMetaType<std::shared_ptr<WordRun>>();
    // A short list, read at once: the texts' indexes need it too.
    QFile list(commonWordsPath());
    if (list.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = list.readAll();
        m_common = std::make_shared<const words::CommonWords>(words::CommonWords::parse(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    }
}

WordDrills::~WordDrills() {
    // A load still running ends first, for a while; its result is dropped.
    // One that does not end is left running with its threads, which the
    // end of the process stops.
    m_background->abandoned = true;
    if (m_background->pool.waitForDone(kLongestWaitAtEndMs)) {
        delete m_background;
    }
}

QString WordDrills::defaultDictionaryPath() {
    return QStringLiteral("/usr/share/hunspell/sl_SI.dic");
}

QString WordDrills::commonWordsPath() {
    return QStringLiteral(":/words/pogoste-besede.txt");
}

const std::string& WordDrills::placesName() {
    static const std::string name = "Mesta v besedilih";
    return name;
}

void WordDrills::loadDictionary(const QString& dicPath) {
    m_loadingDictionary = true;
    m_dictionaryProblem.clear();
    emit entriesChanged();
    const std::string path = QFile::encodeName(dicPath).toStdString();
    // The switches are read here: the index is made for the ones in use.
    TConvertData settings;
    loadSettings(settings);
    // The index and the common words among the dictionary's, or none and
    // whether the file was there but damaged.
    struct Loaded {
        std::shared_ptr<const words::WordIndex> index;
        std::shared_ptr<const words::CommonWords> common;
        bool damaged = false;
    };
    inBackground<Loaded>(
        [path, settings, common = m_common]() -> Loaded {
            Loaded loaded;
            auto list = words::readDictionary(path, &loaded.damaged);
            if (!list)
                return loaded;
            if (common)
                loaded.common = std::make_shared<const words::CommonWords>(common->presentIn(*list));
            loaded.index = std::make_shared<const words::WordIndex>(
                std::make_shared<const words::WordList>(std::move(*list)), settings, common);
            return loaded;
        },
        [this, dicPath](Loaded loaded) {
            m_loadingDictionary = false;
            if (loaded.damaged) {
                m_dictionaryProblem =
                    QStringLiteral("Slovar %1 je poškodovan: v njem ni seznama besed. Namestite paket "
                                   "hunspell-sl znova.")
                        .arg(QDir::toNativeSeparators(dicPath));
            } else if (!loaded.index) {
                m_dictionaryProblem =
                    QStringLiteral("Slovarja slovenskih besed ni (%1). Namestite paket hunspell-sl.")
                        .arg(QDir::toNativeSeparators(dicPath));
            } else if (loaded.index->size() == 0) {
                m_dictionaryProblem =
                    QStringLiteral("V slovarju %1 ni besede, ki bi jo program znal zapisati v tengwarju.")
                        .arg(QDir::toNativeSeparators(dicPath));
                loaded.index.reset();
            }
            m_dictionary = std::move(loaded.index);
            m_dictionaryCommon = std::move(loaded.common);
            emit entriesChanged();
        });
}

void WordDrills::setHistory(HistoryStore* history) {
    m_history = history;
    m_courseHistory = history != nullptr ? std::make_unique<HistoryCourse>(*history) : nullptr;
    emit entriesChanged();
}

WordEntries WordDrills::entries() const {
    WordEntries e;
    e.dictionary = m_dictionary != nullptr;
    if (m_loadingDictionary)
        e.dictionaryWhy = QStringLiteral("Slovar se še nalaga.");
    else if (!e.dictionary)
        e.dictionaryWhy = m_dictionaryProblem;
    e.course = m_history != nullptr && (m_dictionary != nullptr || m_textIndex != nullptr);
    if (m_history == nullptr)
        e.courseWhy = QStringLiteral("Tečaj potrebuje zgodovino odgovorov, ki je ta program nima.");
    else if (!e.course)
        e.courseWhy = e.dictionaryWhy + QStringLiteral(" Tečaj lahko jemlje besede tudi iz vašega besedila "
                                                       "(»Moje besedilo …«).");
    return e;
}

void WordDrills::refreshIndexes() {
    TConvertData settings;
    loadSettings(settings);
    m_dictionary = words::forSwitches(m_dictionary, settings);
    m_textIndex = words::forSwitches(m_textIndex, settings);
}

std::uint64_t WordDrills::coursePracticable(int unlocked) {
    refreshIndexes();
    std::uint64_t reach = m_dictionary ? m_dictionary->reach(unlocked) : 0;
    if (m_textIndex && m_textIndex->usable(unlocked) > 0)
        reach |= m_textIndex->reach(unlocked);
    return reach;
}

void WordDrills::startDictionary() {
    if (!m_dictionary) {
        emit problem(entries().dictionaryWhy);
        return;
    }
    emit runReady(std::make_shared<DictionaryRun>(m_dictionary->list(), m_dictionaryCommon, programRandom()));
}

void WordDrills::startCourse() {
    const WordEntries e = entries();
    if (!e.course) {
        emit problem(e.courseWhy);
        return;
    }
    // The learner's text when one is open and has words of the unlocked
    // letters, with the dictionary beside it for the letters it lacks; else
    // the dictionary.
    refreshIndexes();
    const int unlocked = course::clampUnlocked(m_history->courseLetters());
    std::shared_ptr<const words::WordIndex> source = m_dictionary;
    std::shared_ptr<const words::WordIndex> fallback;
    std::string title;
    if (m_textIndex && m_textIndex->usable(unlocked) > 0) {
        source = m_textIndex;
        fallback = m_dictionary;
        title = m_text->title;
    } else if (!source) {
        emit problem(QStringLiteral("V besedilu „%1“ ni besede samo iz odklenjenih črk tečaja, slovarja pa ni.")
                         .arg(fromCp1250(m_text->title)));
        return;
    }
    emit runReady(std::make_shared<CourseRun>(source, title, *m_courseHistory, programRandom(), fallback));
}

void WordDrills::startText() {
    TTextForm dialog(m_dialogParent, lastTextFile());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.chosenFile().isEmpty())
        openPastedText(dialog.pastedText());
    else
        openTextFile(dialog.chosenFile());
}

void WordDrills::openTextFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    readText([absolute] {
        auto loaded = std::make_shared<LoadedText>();
        const QString shown = QDir::toNativeSeparators(absolute);
        // Only a regular file: a named pipe would hold the reading thread
        // (and the program's end) until someone wrote to it.
        int error = 0;
        QFile file;
        if (!openRegularQFile(file, absolute, error)) {
            loaded->problem = QStringLiteral("Datoteke „%1“ ni mogoče prebrati: %2.")
                                  .arg(shown, error != 0 ? reasonText(error) : file.errorString());
            return loaded;
        }
        if (file.size() > kLargestText) {
            loaded->problem = QStringLiteral("Datoteka „%1“ je prevelika za branje besedo za besedo "
                                             "(največ 64 MB).")
                                  .arg(shown);
            return loaded;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            loaded->problem =
                QStringLiteral("Datoteke „%1“ ni mogoče prebrati: %2.").arg(shown, file.errorString());
            return loaded;
        }
        if (bytes.trimmed().isEmpty()) {
            loaded->problem = QStringLiteral("Datoteka „%1“ je prazna.").arg(shown);
            return loaded;
        }
        // Text has no NUL bytes; a program, a picture or an archive has many.
        if (bytes.contains('\0')) {
            loaded->problem = QStringLiteral("Datoteka „%1“ ni besedilo, temveč dvojiška datoteka (v njej so "
                                             "ničelni bajti).")
                                  .arg(shown);
            return loaded;
        }
        auto document = std::make_shared<words::TextDocument>();
        document->text = words::decodeText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        document->key = absolute.toStdString();
        document->title = toCp1250(QFileInfo(absolute).fileName());
        words::indexDocument(*document);
        if (document->words == 0) {
            loaded->problem =
                QStringLiteral("V datoteki „%1“ ni besede, ki bi jo program znal zapisati v tengwarju.")
                    .arg(shown);
            return loaded;
        }
        loaded->document = std::move(document);
        return loaded;
    });
}

void WordDrills::openPastedText(const QString& text) {
    const std::string bytes = toCp1250(text);
    const bool blank = text.trimmed().isEmpty();
    readText([bytes, blank] {
        auto loaded = std::make_shared<LoadedText>();
        if (blank) {
            loaded->problem = QStringLiteral("Prilepljeno besedilo je prazno.");
            return loaded;
        }
        auto document = std::make_shared<words::TextDocument>();
        document->text = bytes;
        document->key = words::pastedKey(bytes);
        document->title = toCp1250(QStringLiteral("prilepljeno besedilo"));
        words::indexDocument(*document);
        if (document->words == 0) {
            loaded->problem =
                QStringLiteral("V prilepljenem besedilu ni besede, ki bi jo program znal zapisati v tengwarju.");
            return loaded;
        }
        loaded->document = std::move(document);
        return loaded;
    });
}

void WordDrills::readText(std::function<std::shared_ptr<LoadedText>()> work) {
    m_loadingText = true;
    TConvertData settings;
    loadSettings(settings);
    inBackground<std::shared_ptr<LoadedText>>(
        [work = std::move(work), settings, common = m_common]() {
            std::shared_ptr<LoadedText> loaded = work();
            if (loaded->document) {
                // The index shares the document's word list.
                std::shared_ptr<const words::TextDocument> document = loaded->document;
                loaded->index = std::make_shared<const words::WordIndex>(
                    std::shared_ptr<const words::WordList>(document, &document->drillWords), settings, common);
            }
            return loaded;
        },
        [this](std::shared_ptr<LoadedText> loaded) { textLoaded(loaded); });
}

void WordDrills::textLoaded(const std::shared_ptr<LoadedText>& loaded) {
    m_loadingText = false;
    if (!loaded->document) {
        emit problem(loaded->problem);
        return;
    }
    std::shared_ptr<const words::TextDocument> document = loaded->document;
    m_text = document;
    m_textIndex = loaded->index;
    emit entriesChanged();
    const std::string key = document->key;
    auto run = std::make_shared<TextRun>(document, placeOf(key),
                                         [this, key](std::size_t offset) { rememberPlace(key, offset); });
    emit runReady(run);
}

words::TextPlaces WordDrills::storedPlaces() const {
    std::vector<std::string> list;
    try {
        Options().ReadStringList(placesName(), list);
    } catch (const StoreError&) {
        // Not stored yet (or unreadable): every text starts at its beginning.
        list.clear();
    }
    return words::TextPlaces::fromList(list);
}

std::size_t WordDrills::placeOf(const std::string& key) const {
    return storedPlaces().placeOf(key);
}

void WordDrills::rememberPlace(const std::string& key, std::size_t offset) {
    words::TextPlaces places = storedPlaces();
    places.set(key, offset);
    try {
        Options().WriteStringList(placesName(), places.toList());
    } catch (const StoreError&) {
        // The store has told the learner that it cannot write; the reading
        // goes on, only its place is not kept.
    }
}

QString WordDrills::lastTextFile() const {
    const std::string key = storedPlaces().lastKey();
    if (key.empty() || key.front() == '#')
        return QString();
    return QString::fromStdString(key);
}
