// Spell checking for text areas: a checker over Hunspell with the en_US
// dictionary, and a highlighter that underlines the misspelt words of a
// document as the user types. Neither ever changes the text. Hunspell itself
// is loaded with the first dictionary, so a program that checks no word
// never loads it.
#pragma once

#include <QHash>
#include <QString>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fw {

class SpellDictionary;

class SpellChecker {
public:
    // A checker over the given dictionary pair, loaded on the first check.
    SpellChecker(std::string affPath, std::string dicPath);
    ~SpellChecker();
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    // The shared checker with /usr/share/hunspell/en_US.aff and .dic. It
    // lives until the process ends: tearing the dictionary down at exit
    // only costs time.
    static SpellChecker& Shared();

    // Loads the dictionary on a worker thread from now on, so that reading
    // it (tens of milliseconds) does not hold up the first window; until it
    // is there every word counts as correct, and Ready() tells when to look
    // again. Without this call the first check loads it at once.
    void LoadInBackground();
    // Holds every check off (all words correct, not Ready) until
    // LoadInBackground: start-up calls it so that nothing loads the
    // dictionary before the first window shows.
    void DeferLoading() { deferred_ = true; }
    // True once the dictionary is loaded or known to be missing.
    bool Ready();

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
    bool deferred_ = false;
    bool utf8_ = true;
    std::unique_ptr<SpellDictionary> hunspell_;
    std::future<std::unique_ptr<SpellDictionary>> pending_;
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
    bool waiting_ = false;
};

}  // namespace fw
