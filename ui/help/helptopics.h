#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// One help topic: the text shown for one context number.
struct HelpTopic {
    int context = 0;
    QString title;     // may be empty
    QString body;      // CommonMark text (no raw HTML)
    QString fileName;  // where it was written, for messages
    int line = 0;      // line of its header
};

// The help topics, keyed by context number, read from their source files.
//
// Source format (see resources/help/README.md):
//   % a comment line
//   == 1101 == optional title
//   Text of the topic in CommonMark, up to the next header.
class HelpTopics {
public:
    // Adds the topics of one source file. Problems are appended to errors as
    // "file:line: message"; a faulty topic is skipped, the others are kept.
    void addSource(const QString& text, const QString& fileName, QStringList* errors);

    // Adds every *.txt file of a folder (":/help" holds the built-in ones), in name order.
    void addFolder(const QString& folder, QStringList* errors);

    const HelpTopic* find(int context) const;
    QList<int> contexts() const { return m_topics.keys(); }
    int size() const { return static_cast<int>(m_topics.size()); }

    // The topic's text as CommonMark with its title on top: what the popup and the
    // help window show.
    static QString markdown(const HelpTopic& topic, bool titleAsHeading);

    static constexpr int kMaxContext = 99999;

private:
    QMap<int, HelpTopic> m_topics;
};
