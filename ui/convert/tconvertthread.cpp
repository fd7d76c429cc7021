#include "ui/convert/tconvertthread.h"

#include <QCoreApplication>
#include <QWidget>

#include "qtcore/qtext.h"
#include "ui/widgets/messages.h"

namespace {

// Set and cleared on the main thread only.
TConvertThread* g_activeConvertThread = nullptr;

// The program's messages break lines with a lone CR.
QString boxText(const std::string& cp1250Text) {
    QString text = fromCp1250(cp1250Text);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

QString TConvertThread::replaceQuestionText(const std::string& inputName, const std::vector<TextPlace>& first,
                                            std::uint64_t count) {
    QString text = QStringLiteral("Datoteka „%1“ je v kodiranju UTF-8, a nekaterih njenih znakov kodna tabela "
                                  "Windows-1250 nima (vseh skupaj: %2):")
                       .arg(fromCp1250(inputName))
                       .arg(count);
    for (const TextPlace& place : first) {
        const char32_t codePoint = place.codePoint;
        text += QStringLiteral("\n„%1“ (U+%2) v vrstici %3, stolpcu %4")
                    .arg(QString::fromUcs4(&codePoint, 1))
                    .arg(QString::number(static_cast<unsigned>(codePoint), 16).toUpper().rightJustified(4, QLatin1Char('0')))
                    .arg(place.line)
                    .arg(place.column);
    }
    if (count > first.size()) {
        text += QStringLiteral("\n…");
    }
    return text + QStringLiteral("\n\nAli naj pretvorim datoteko in te znake nadomestim z „?“?");
}

QString TConvertThread::cp1250QuestionText(const std::string& inputName, const TextPlace& place) {
    return QStringLiteral("Datoteka „%1“ je v kodiranju UTF-8, le v vrstici %2, stolpcu %3 je bajt, ki ni UTF-8 "
                          "(morda odrezan znak).\n\nAli naj jo preberem kot besedilo v kodni tabeli Windows-1250? "
                          "Njeni znaki UTF-8 bodo tedaj pretvorjeni narobe.")
        .arg(fromCp1250(inputName))
        .arg(place.line)
        .arg(place.column);
}

TConvertThread* TConvertThread::start(QWidget* owner, bool lowerCase, const std::string& inputName,
                                      const std::string& outputName, TerminationHandler onTerminate) {
    ConvertJob job{inputName, outputName, {}};
    job.settings.lowerCase = lowerCase;
    auto* thread = new TConvertThread(owner, std::move(job), std::move(onTerminate));
    thread->QThread::start();
    return thread;
}

TConvertThread::TConvertThread(QWidget* owner, ConvertJob job, TerminationHandler onTerminate)
    : m_owner(owner), m_job(std::move(job)), m_onTerminate(std::move(onTerminate)) {
    g_activeConvertThread = this;
    // finished is emitted by the worker; this object lives on the main thread,
    // so the handler is queued there.
    connect(this, &QThread::finished, this, &TConvertThread::finishOnMainThread, Qt::QueuedConnection);
}

TConvertThread::~TConvertThread() {
    if (g_activeConvertThread == this) {
        g_activeConvertThread = nullptr;
    }
}

TConvertThread* TConvertThread::active() {
    return g_activeConvertThread;
}

void TConvertThread::Terminate() {
    m_control.requestStop();
}

void TConvertThread::run() {
    QWidget* const owner = m_owner;
    const auto tell = [owner](const QString& title, const std::string& text) {
        messages::Request request;
        request.parent = owner;
        request.title = title;
        request.text = boxText(text);
        request.icon = messages::Icon::Information;
        request.buttons = {messages::caption(messages::Button::Ok)};
        messages::ask(request);
    };
    const auto show = [&tell](const std::string& text) { tell(QStringLiteral("Napaka pri pretvorbi!"), text); };
    const OverwriteQuestion askOverwrite = [owner](const std::string& outputName) {
        const std::string text = "Datoteka \"" + outputName +
                                 "\" \x9E"
                                 "e obstaja.  Ali naj rezultate pretvorbe zapi\x9A"
                                 "em \xE8"
                                 "ez njeno sedanjo vsebino?";
        messages::Request request;
        request.parent = owner;
        request.title = QStringLiteral("Opozorilo");
        request.text = boxText(text);
        request.icon = messages::Icon::Warning;
        request.buttons = {messages::caption(messages::Button::Yes), messages::caption(messages::Button::No)};
        // Overwritten content cannot be restored: Enter alone answers "Ne".
        request.defaultButton = 1;
        request.escapeButton = 1;
        return messages::ask(request) == 0;
    };
    const ReplaceQuestion askReplace = [owner](const std::string& inputName, const std::vector<TextPlace>& first,
                                               std::uint64_t count) {
        messages::Request request;
        request.parent = owner;
        request.title = QStringLiteral("Opozorilo");
        request.text = replaceQuestionText(inputName, first, count);
        request.icon = messages::Icon::Warning;
        request.buttons = {messages::caption(messages::Button::Yes), messages::caption(messages::Button::No)};
        request.escapeButton = 1;
        return messages::ask(request) == 0;
    };
    const Cp1250Question askCp1250 = [owner](const std::string& inputName, const TextPlace& place) {
        messages::Request request;
        request.parent = owner;
        request.title = QStringLiteral("Opozorilo");
        request.text = cp1250QuestionText(inputName, place);
        request.icon = messages::Icon::Warning;
        request.buttons = {messages::caption(messages::Button::Yes), messages::caption(messages::Button::No)};
        // Read the wrong way, the text comes out garbled: Enter alone answers "Ne".
        request.defaultButton = 1;
        request.escapeButton = 1;
        return messages::ask(request) == 0;
    };
    try {
        const ConvertFileOutcome outcome = convertFile(m_job, m_control, askOverwrite, askReplace, askCp1250);
        const bool told = !m_quiet.load();
        if (outcome == ConvertFileOutcome::Stopped && told) {
            tell(QStringLiteral("Pretvorba prekinjena"), stoppedMessage(m_job.outputName));
        } else if (outcome == ConvertFileOutcome::StoppedBeforeWriting && told) {
            tell(QStringLiteral("Pretvorba prekinjena"), stoppedBeforeWritingMessage(m_job.outputName));
        } else if (outcome == ConvertFileOutcome::Changed) {
            show(inputChangedMessage(m_job.inputName) +
                 "\rIzhodna datoteka vsebuje pretvorbo tistega, kar je bilo prebrano.");
        } else if (outcome == ConvertFileOutcome::ChangedBeforeWriting) {
            show(inputChangedMessage(m_job.inputName));
        }
    } catch (const std::exception& e) {
        show(e.what());
    } catch (...) {
        show("Neznana napaka.");
    }
}

void TConvertThread::finishOnMainThread() {
    wait();
    if (m_onTerminate) {
        m_onTerminate();
    }
    g_activeConvertThread = nullptr;
    deleteLater();
}

void TConvertThread::stopAndWait() {
    TConvertThread* const thread = g_activeConvertThread;
    if (thread == nullptr) {
        return;
    }
    thread->m_quiet.store(true);
    thread->Terminate();
    // A box the worker asks for is shown by this thread, so events are served
    // while waiting.
    while (!thread->wait(20)) {
        QCoreApplication::processEvents();
    }
    // Unless its end was already handled while events were served.
    if (g_activeConvertThread == thread) {
        g_activeConvertThread = nullptr;
        delete thread;
    }
}
