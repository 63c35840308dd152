// The initial paragraph and the eleven sample messages are data the program
// ships: their lengths, sentence layout and punctuation are what the
// scrambler and the window are built around, so a careless edit of a text
// file (an added newline, a smart quote, a lost double blank) must fail here.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kTextsDir = SCRANDLE_RESOURCES_DIR "/texts/";

std::string ReadWhole(const std::string& name) {
  const std::string path = kTextsDir + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot open " << path;
    return {};
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One piece per line, each closed by '|' so that a trailing blank is visible.
std::vector<std::string> ReadPieces(const std::string& name) {
  const std::string raw = ReadWhole(name);
  std::vector<std::string> pieces;
  std::istringstream lines(raw);
  std::string line;
  int lineNo = 0;
  while (std::getline(lines, line)) {
    ++lineNo;
    if (line.empty() || line.back() != '|') {
      ADD_FAILURE() << name << " line " << lineNo << ": no closing '|'";
      continue;
    }
    line.pop_back();
    pieces.push_back(line);
  }
  EXPECT_TRUE(raw.empty() || raw.back() == '\n') << name << ": last line has no line feed";
  return pieces;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

int CountOf(const std::string& text, char c) {
  return static_cast<int>(std::count(text.begin(), text.end(), c));
}

// The blank structure of one paragraph: how the runs of blanks fall.
struct Layout {
  int sentences = 0;        // full stops that end a sentence, the last one included
  int sentenceGaps = 0;     // two blanks after a full stop
  int wordGaps = 0;         // two blanks between two words
  std::vector<std::string> problems;
};

Layout ReadLayout(const std::string& t) {
  Layout l;
  auto problem = [&l](size_t at, const std::string& what) {
    l.problems.push_back("offset " + std::to_string(at) + ": " + what);
  };
  if (t.empty()) {
    problem(0, "empty text");
    return l;
  }
  if (t.front() == ' ') problem(0, "leading blank");
  if (t.back() != '.') problem(t.size() - 1, "does not end with a full stop");
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '.') {
      ++l.sentences;
      if (i + 1 < t.size() && t[i + 1] != ' ') problem(i, "full stop inside a word");
    }
    // Look at each run of blanks once, from its first blank.
    if (t[i] != ' ' || i == 0 || t[i - 1] == ' ') continue;
    size_t run = 0;
    while (i + run < t.size() && t[i + run] == ' ') ++run;
    const size_t next = i + run;
    const char before = t[i - 1];
    if (next == t.size()) {
      problem(i, "trailing blank");
    } else if (before == '.') {
      if (run == 2)
        ++l.sentenceGaps;
      else
        problem(i, std::to_string(run) + " blank(s) after a sentence");
      if (!IsUpper(t[next])) problem(next, "sentence does not begin with a capital");
    } else if (run == 2 && IsLetter(before) && IsLetter(t[next])) {
      ++l.wordGaps;
    } else if (run != 1) {
      problem(i, std::to_string(run) + " blanks between words");
    }
  }
  return l;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += "\n  " + line;
  return all;
}

struct Word {
  std::string token;  // as it stands, with its punctuation
  int letters = 0;
};

std::vector<Word> Words(const std::string& t) {
  std::vector<Word> words;
  std::istringstream in(t);
  std::string token;
  while (in >> token) {
    Word w{token, 0};
    for (char c : token) w.letters += IsLetter(c) ? 1 : 0;
    words.push_back(w);
  }
  return words;
}

// Letters, the blank, comma and full stop, plus whatever a text may add.
std::string ForeignCharacters(const std::string& t, const std::string& alsoAllowed) {
  std::string foreign;
  for (char c : t)
    if (!IsLetter(c) && c != ' ' && c != ',' && c != '.' && alsoAllowed.find(c) == std::string::npos)
      foreign += c;
  return foreign;
}

// Each word begins with a letter and carries punctuation only at its end, so
// every mark is followed by a blank or by the end of the text.
void ExpectWordsWellFormed(const std::vector<Word>& words) {
  for (const Word& w : words) {
    const std::string& s = w.token;
    EXPECT_TRUE(IsLetter(s.front())) << "word '" << s << "' does not begin with a letter";
    for (size_t k = 1; k + 1 < s.size(); ++k)
      EXPECT_TRUE(IsLetter(s[k])) << "punctuation inside the word '" << s << "'";
  }
}

TEST(InitialText, HasTheParagraphLayoutAndPunctuation) {
  const std::string t = ReadWhole("initial.txt");
  EXPECT_EQ(t.size(), 550u);
  EXPECT_EQ(t.rfind("I could not believe that I could actually understand what I was reading.  ", 0), 0u)
      << "wrong first sentence: " << t.substr(0, 80);
  EXPECT_EQ(ForeignCharacters(t, ";"), "");

  const Layout l = ReadLayout(t);
  EXPECT_TRUE(l.problems.empty()) << Joined(l.problems);
  EXPECT_EQ(l.sentences, 6);
  EXPECT_EQ(l.sentenceGaps, 5);
  EXPECT_EQ(l.wordGaps, 0);

  EXPECT_EQ(CountOf(t, '.'), 6);
  EXPECT_EQ(CountOf(t, ','), 3);
  EXPECT_EQ(CountOf(t, ';'), 1);
}

TEST(InitialText, HasItsWordCounts) {
  const std::string t = ReadWhole("initial.txt");
  const std::vector<Word> words = Words(t);
  ASSERT_EQ(words.size(), 102u);
  ExpectWordsWellFormed(words);

  int scrambled = 0, longest = 0, longestCount = 0, capitals = 0, pronouns = 0;
  for (const Word& w : words) {
    scrambled += w.letters >= 4 ? 1 : 0;
    if (w.letters > longest) {
      longest = w.letters;
      longestCount = 0;
    }
    longestCount += w.letters == longest ? 1 : 0;
    capitals += IsUpper(w.token.front()) ? 1 : 0;
    pronouns += w.token == "I" ? 1 : 0;
  }
  EXPECT_EQ(scrambled, 56) << "words of four or more letters";
  EXPECT_EQ(longest, 10);
  EXPECT_GE(longestCount, 2) << "more than one word has the longest length";
  EXPECT_EQ(capitals, 11);
  EXPECT_EQ(pronouns, 4);
}

TEST(InitialText, SaysWhatTheProgramExplores) {
  const std::string t = ReadWhole("initial.txt");
  for (const char* word : {"first", "last", "readable", "middle"})
    EXPECT_NE(t.find(word), std::string::npos) << "the paragraph never says '" << word << "'";
}

struct SampleTraits {
  const char* name;
  size_t length;
  int pieces;
  const char* firstWords;
  int sentences;     // each but the last followed by two blanks
  int semicolons;
  int apostrophes;
  int wordGaps;      // two blanks between two words
};

const SampleTraits kSamples[] = {
    {"sample01", 423, 3, "The three level mansion was built", 4, 0, 0, 0},
    {"sample02", 353, 3, "While you are marveling at our", 2, 0, 0, 0},
    {"sample03", 542, 4, "The bank does not own your", 7, 1, 0, 0},
    {"sample04", 354, 3, "After you make your final mortgage", 4, 0, 0, 0},
    {"sample05", 595, 4, "After a flush, the toilet bowl", 5, 1, 0, 1},
    {"sample06", 386, 3, "The usual procedure is to insulate", 4, 0, 0, 0},
    {"sample07", 551, 4, "As the frenzied local real estate", 4, 0, 0, 0},
    {"sample08", 484, 4, "To properly document that you were", 3, 0, 0, 0},
    {"sample09", 285, 2, "AARP, the prominent organization", 1, 0, 0, 0},
    {"sample10", 335, 3, "Food and cosmetic labels may soon", 2, 0, 1, 0},
    {"sample11", 543, 4, "The Food and Drug Administration approved", 3, 0, 0, 0},
};

// Keeps test names and failure output readable instead of a byte dump.
void PrintTo(const SampleTraits& s, std::ostream* os) { *os << s.name; }

class SampleText : public ::testing::TestWithParam<SampleTraits> {};

TEST_P(SampleText, HasItsLengthWordingAndLayout) {
  const SampleTraits& s = GetParam();
  const std::string t = ReadWhole(std::string(s.name) + ".txt");
  EXPECT_EQ(t.size(), s.length);
  EXPECT_EQ(t.rfind(std::string(s.firstWords) + " ", 0), 0u) << "begins: " << t.substr(0, 50);

  std::string extra;
  if (s.semicolons > 0) extra += ';';
  if (s.apostrophes > 0) extra += '\'';
  EXPECT_EQ(ForeignCharacters(t, extra), "");
  EXPECT_EQ(CountOf(t, ';'), s.semicolons);
  EXPECT_EQ(CountOf(t, '\''), s.apostrophes);
  EXPECT_GT(CountOf(t, ','), 0);

  const Layout l = ReadLayout(t);
  EXPECT_TRUE(l.problems.empty()) << Joined(l.problems);
  EXPECT_EQ(l.sentences, s.sentences);
  EXPECT_EQ(l.sentenceGaps, s.sentences - 1);
  EXPECT_EQ(l.wordGaps, s.wordGaps);
  ExpectWordsWellFormed(Words(t));
}

TEST_P(SampleText, PiecesJoinToTheTextAtBlanks) {
  const SampleTraits& s = GetParam();
  const std::string t = ReadWhole(std::string(s.name) + ".txt");
  const std::vector<std::string> pieces = ReadPieces(std::string(s.name) + ".pieces");
  ASSERT_EQ(static_cast<int>(pieces.size()), s.pieces);

  std::string joined;
  for (size_t k = 0; k < pieces.size(); ++k) {
    EXPECT_FALSE(pieces[k].empty()) << "piece " << k + 1 << " is empty";
    if (k + 1 < pieces.size()) {
      EXPECT_TRUE(!pieces[k].empty() && pieces[k].back() == ' ') << "piece " << k + 1 << " does not end with a blank";
    }
    if (k > 0) {
      EXPECT_TRUE(!pieces[k].empty() && pieces[k].front() != ' ') << "piece " << k + 1 << " begins with a blank";
    }
    joined += pieces[k];
  }
  EXPECT_EQ(joined, t);
}

INSTANTIATE_TEST_SUITE_P(Eleven, SampleText, ::testing::ValuesIn(kSamples),
                         [](const ::testing::TestParamInfo<SampleTraits>& info) { return std::string(info.param.name); });

TEST(SampleTexts, TheOneApostropheClosesAPluralPossessive) {
  const std::string t = ReadWhole("sample10.txt");
  const size_t at = t.find('\'');
  ASSERT_NE(at, std::string::npos);
  ASSERT_GT(at, 0u);
  ASSERT_LT(at + 1, t.size());
  EXPECT_EQ(t[at - 1], 's');
  EXPECT_EQ(t[at + 1], ' ');
}

}  // namespace
