#include "ui/help/helptopics.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

bool isHeaderLike(const QString& line) {
    return line.startsWith(QLatin1String("=="));
}

// Escapes what CommonMark would read as markup, for titles taken literally.
QString escapeMarkdown(const QString& text) {
    static const QString kSpecial = QStringLiteral("\\`*_{}[]<>()#+-.!|~&");
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        if (kSpecial.contains(c)) {
            out += QLatin1Char('\\');
        }
        out += c;
    }
    return out;
}

}  // namespace

void HelpTopics::addSource(const QString& text, const QString& fileName, QStringList* errors) {
    static const QRegularExpression kHeader(QStringLiteral("^==\\s*(\\d+)\\s*==(.*)$"));

    auto report = [&](int line, const QString& message) {
        if (errors != nullptr) {
            errors->append(QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message));
        }
    };

    HelpTopic current;
    bool inTopic = false;
    bool skipping = false;  // inside a topic whose header was rejected
    QStringList bodyLines;

    auto finish = [&]() {
        if (!inTopic) {
            return;
        }
        inTopic = false;
        while (!bodyLines.isEmpty() && bodyLines.constLast().trimmed().isEmpty()) {
            bodyLines.removeLast();
        }
        while (!bodyLines.isEmpty() && bodyLines.constFirst().trimmed().isEmpty()) {
            bodyLines.removeFirst();
        }
        if (bodyLines.isEmpty()) {
            report(current.line, QStringLiteral("topic %1 has no text").arg(current.context));
            return;
        }
        current.body = bodyLines.join(QLatin1Char('\n'));
        if (const HelpTopic* earlier = find(current.context)) {
            report(current.line, QStringLiteral("topic %1 is already defined at %2:%3")
                                     .arg(current.context)
                                     .arg(earlier->fileName)
                                     .arg(earlier->line));
            return;
        }
        m_topics.insert(current.context, current);
    };

    const QStringList lines =
        QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString& line = lines[i];
        if (line.startsWith(QLatin1Char('%'))) {
            continue;
        }
        if (isHeaderLike(line)) {
            finish();
            skipping = false;
            const QRegularExpressionMatch m = kHeader.match(line.trimmed());
            bool ok = false;
            const int context = m.hasMatch() ? m.captured(1).toInt(&ok) : 0;
            if (!m.hasMatch()) {
                report(
                    lineNo,
                    QStringLiteral("malformed topic header \"%1\", expected \"== <number> ==\"").arg(line));
                skipping = true;
                continue;
            }
            if (!ok || context < 1 || context > kMaxContext) {
                report(
                    lineNo,
                    QStringLiteral("topic number %1 is outside 1..%2").arg(m.captured(1)).arg(kMaxContext));
                skipping = true;
                continue;
            }
            current = HelpTopic{};
            current.context = context;
            current.title = m.captured(2).trimmed();
            current.fileName = fileName;
            current.line = lineNo;
            bodyLines.clear();
            inTopic = true;
            continue;
        }
        if (inTopic) {
            bodyLines.append(line);
        } else if (!skipping && !line.trimmed().isEmpty()) {
            report(lineNo, QStringLiteral("text outside a topic (a topic starts with \"== <number> ==\")"));
            skipping = true;  // one message per stray block is enough
        }
    }
    finish();
}

void HelpTopics::addFolder(const QString& folder, QStringList* errors) {
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            if (errors != nullptr) {
                errors->append(QStringLiteral("%1: cannot be read").arg(file.fileName()));
            }
            continue;
        }
        addSource(QString::fromUtf8(file.readAll()), name, errors);
    }
}

const HelpTopic* HelpTopics::find(int context) const {
    const auto it = m_topics.constFind(context);
    return it == m_topics.constEnd() ? nullptr : &it.value();
}

QString HelpTopics::markdown(const HelpTopic& topic, bool titleAsHeading) {
    if (topic.title.isEmpty()) {
        return topic.body;
    }
    const QString title = escapeMarkdown(topic.title);
    return (titleAsHeading ? QStringLiteral("### ") + title
                           : QStringLiteral("**") + title + QStringLiteral("**")) +
           QStringLiteral("\n\n") + topic.body;
}
