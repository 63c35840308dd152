// The Help window's text, as the program embeds it: its length, paragraph
// and sentence layout, and the ten points in their order. The build turns
// the LF line ends of resources/texts/help.txt into CRs; a careless edit of
// the file (an added newline, a single blank after a sentence) fails here.

#include "help_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kText(resources::HelpText());

std::vector<std::string> Paragraphs() {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = kText.find("\r\r", start);
    out.push_back(kText.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return out;
    start = end + 2;
  }
}

TEST(HelpText, HasItsLengthAndTenParagraphsSeparatedByTwoCarriageReturns) {
  EXPECT_EQ(kText.size(), 2576u);
  EXPECT_EQ(kText.find('\n'), std::string::npos) << "no line feed";
  EXPECT_NE(kText.back(), '\r') << "no line end after the last paragraph";
  for (char c : kText) EXPECT_TRUE(c == '\r' || (c >= ' ' && c <= '~')) << "not plain ASCII: " << int(c);

  const std::vector<std::string> paragraphs = Paragraphs();
  ASSERT_EQ(paragraphs.size(), 10u);
  for (const std::string& p : paragraphs) {
    EXPECT_FALSE(p.empty());
    EXPECT_EQ(p.find('\r'), std::string::npos) << "a lone or third CR: " << p.substr(0, 40);
    EXPECT_NE(p.front(), ' ');
    EXPECT_EQ(p.back(), '.') << p.substr(0, 40);
  }
}

TEST(HelpText, SeparatesSentencesByTwoBlanksAndWordsByOne) {
  for (const std::string& p : Paragraphs()) {
    for (std::size_t i = 1; i < p.size(); ++i) {
      if (p[i] != ' ' || p[i - 1] == ' ') continue;
      std::size_t run = 0;
      while (i + run < p.size() && p[i + run] == ' ') ++run;
      // A sentence ends with . ! or ?, perhaps inside a closing quote.
      std::size_t end = i - 1;
      if (p[end] == '"' && end > 0) --end;
      const bool sentenceEnd = p[end] == '.' || p[end] == '!' || p[end] == '?';
      EXPECT_EQ(run, sentenceEnd ? 2u : 1u) << "at \"" << p.substr(i > 20 ? i - 20 : 0, 40) << "\"";
      if (sentenceEnd && i + run < p.size()) {
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(p[i + run])));
      }
    }
  }
}

TEST(HelpText, TellsTheTenPointsInOrder) {
  ASSERT_EQ(kText.rfind("This application was developed to help you explore", 0), 0u);
  // A phrase that marks each point, in the paragraph of that point.
  const std::vector<std::vector<std::string>> marks = {
      {"as a whole", "first and last letters", "in between can be shuffled"},
      {"When you launch Scrandle,", "left window", "\"Scramble\"", "right window", "removed"},
      {"load, save and clear", "plain text", "\".txt\""},
      {"eleven \"Try Me\" buttons", "center", "scrambled message into the right window"},
      {"type or paste", "left window", "\"Scramble\""},
      {"removes apostrophes and dashes", "punctuation", "\"book\"", "two middle letters are the same"},
      {"right window", "\"Unscramble\"", "several seconds", "over 45,000 American English words",
       "same first and last letters", "the first one is chosen", "upper case"},
      {"double-click", "\"Find Possible Words\"", "drop-down menu", "\"Use Selected Word\""},
      {"Right after a scramble", "at once", "click into the right window", "dictionary"},
      {"icon", "drawn by the Scrandle developers"},
  };
  const std::vector<std::string> paragraphs = Paragraphs();
  ASSERT_EQ(paragraphs.size(), marks.size());
  for (std::size_t i = 0; i < marks.size(); ++i)
    for (const std::string& m : marks[i])
      EXPECT_NE(paragraphs[i].find(m), std::string::npos) << "point " << i + 1 << " lacks: " << m;
}

TEST(HelpText, IsTheSourceFileWithCarriageReturnsAndItsWordCountIsTrue) {
  std::ifstream in(SCRANDLE_RESOURCES_DIR "/texts/help.txt", std::ios::binary);
  std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  for (char& c : source)
    if (c == '\n') c = '\r';
  EXPECT_EQ(source, kText);

  std::ifstream words(SCRANDLE_WORDLIST_FILE);
  std::size_t count = 0;
  for (std::string w; std::getline(words, w);) count += !w.empty();
  EXPECT_GT(count, 45000u) << "the text promises over 45,000 words";
}

}  // namespace
