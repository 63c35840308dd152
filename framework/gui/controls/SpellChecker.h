// Spell checking for text areas: a checker over Hunspell with the en_US
// dictionary, and a highlighter that underlines the misspelt words of a
// document as the user types. Neither ever changes the text.
#pragma once

#include <QHash>
#include <QString>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class Hunspell;

namespace fw {

class SpellChecker {
public:
    // A checker over the given dictionary pair, loaded on the first check.
    SpellChecker(std::string affPath, std::string dicPath);
    ~SpellChecker();
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    // The shared checker with /usr/share/hunspell/en_US.aff and .dic.
    static SpellChecker& Shared();

    // Loads the dictionary if that was not tried yet; false when it cannot
    // be had (then every word counts as correct).
    bool Available();
    bool IsCorrect(const QString& word);
    // The misspelt words of a line of text, as (start, length) in UTF-16
    // units. A word is a run of letters with inner apostrophes; runs that
    // hold digits are not words.
    std::vector<std::pair<int, int>> Misspellings(const QString& text);

private:
    void Load();

    std::string affPath_, dicPath_;
    bool tried_ = false;
    bool utf8_ = true;
    std::unique_ptr<Hunspell> hunspell_;
    // Text repeats its words: remember the verdicts (bounded).
    QHash<QString, bool> verdicts_;
};

// Underlines misspelt words with the spell-check underline. Attach it with
// setDocument; the text areas attach it only to documents small enough to
// check whole (see TextArea).
class SpellHighlighter : public QSyntaxHighlighter {
public:
    explicit SpellHighlighter(QObject* parent, SpellChecker& checker = SpellChecker::Shared());
    // The format a misspelt word gets.
    static QTextCharFormat MisspeltFormat();

protected:
    void highlightBlock(const QString& text) override;

private:
    SpellChecker& checker_;
    QTextCharFormat format_;
};

}  // namespace fw
