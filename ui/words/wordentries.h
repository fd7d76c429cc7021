#pragma once

#include <QString>

// Whether the entries of the word drills in the menu of "Nova naloga" can be
// chosen, and why not.
struct WordEntries {
    bool dictionary = false;
    QString dictionaryWhy;
    bool course = false;
    QString courseWhy;
};

// The three entries, in menu order.
enum class WordDrill { Dictionary, Text, Course };
