#include "definition/profile_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvador {
namespace {

struct LookupCase {
  std::string text;  // the whole file
  std::string section;
  std::string key;
  std::size_t size;
  std::string want;
};

void ExpectLookups(const LookupCase* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const LookupCase& c = cases[i];
    EXPECT_EQ(ProfileText(c.text).GetString(c.section, c.key, c.size), c.want)
        << "[" << c.section << "] " << c.key << " size " << c.size << " in:\n"
        << c.text;
  }
}

TEST(ProfileText, FindsSectionsAndKeysByTheWindowsRules) {
  const LookupCase cases[] = {
      {"[SEC]\nKEY=value\n", "SEC", "KEY", 200, "value"},
      // Letter case of names does not count; of values it does.
      {"[sec]\nkey=Value\n", "SEC", "KEY", 200, "Value"},
      {"[Sec]\nKey=x\n", "sEC", "kEY", 200, "x"},
      // Missing section, key or text give the empty default.
      {"[SEC]\nKEY=x\n", "OTHER", "KEY", 200, ""},
      {"[SEC]\nKEY=x\n", "SEC", "OTHER", 200, ""},
      {"", "SEC", "KEY", 200, ""},
      // A key of another section is not found.
      {"[A]\nKEY=a\n[B]\nOTHER=b\n", "B", "KEY", 200, ""},
      {"[A]\nKEY=a\n[B]\nKEY=b\n", "B", "KEY", 200, "b"},
      // The first key of a name wins.
      {"[SEC]\nKEY=first\nkey=second\n", "SEC", "KEY", 200, "first"},
      // The first section of a name wins, also for keys only the second one has.
      {"[SEC]\nA=1\n[sec]\nA=2\nB=2\n", "SEC", "A", 200, "1"},
      {"[SEC]\nA=1\n[sec]\nA=2\nB=2\n", "SEC", "B", 200, ""},
      {"[SEC]\nA=1\n[OTHER]\n[SEC]\nB=2\n[OTHER]\nC=3\n", "OTHER", "C", 200, ""},
      // Blanks and tabs around names and values are trimmed, also in the request.
      {"[SEC]\n \t KEY \t=\t  some value \t \n", "SEC", "KEY", 200, "some value"},
      {"[SEC]\nKEY=x\n", " SEC\t", "\tKEY ", 200, "x"},
      {"  \t[SEC]  \nKEY=x\n", "SEC", "KEY", 200, "x"},
      {"[ SEC ]\nKEY=x\n", "SEC", "KEY", 200, "x"},
      {"[\tSEC\t]\nKEY=x\n", "SEC", "KEY", 200, "x"},
      // Blanks inside names and values stay.
      {"[MY SEC]\nMY KEY = a  b \n", "my sec", "my key", 200, "a  b"},
      // The section name runs to the last "]"; what follows it is ignored.
      {"[A]B]\nKEY=x\n", "A]B", "KEY", 200, "x"},
      {"[SEC] old one\nKEY=x\n", "SEC", "KEY", 200, "x"},
      // A "[" line without "]" is no header: it is a key of the section above.
      {"[SEC]\n[NEXT\nKEY=x\n", "SEC", "KEY", 200, "x"},
      {"[SEC]\n[NEXT\nKEY=x\n", "NEXT", "KEY", 200, ""},
      {"[SEC]\n[A=1\n", "SEC", "[A", 200, "1"},
      // Only the first "=" separates name and value.
      {"[SEC]\nKEY=A = B\n", "SEC", "KEY", 200, "A = B"},
      {"[SEC]\nKEY==x\n", "SEC", "KEY", 200, "=x"},
      // An empty value is found as empty.
      {"[SEC]\nKEY=\nKEY=later\n", "SEC", "KEY", 200, ""},
      // Lines before the first header belong to no section.
      {"KEY=x\n[SEC]\n", "SEC", "KEY", 200, ""},
      {"KEY=x\n[SEC]\n", "", "KEY", 200, ""},
  };
  ExpectLookups(cases, std::size(cases));
}

TEST(ProfileText, CommentsStartALineAndNothingElse) {
  const LookupCase cases[] = {
      {"[SEC]\n;KEY=x\n", "SEC", "KEY", 200, ""},
      {"[SEC]\n  \t; KEY=x\nKEY=y\n", "SEC", "KEY", 200, "y"},
      {"[SEC]\n;KEY=x\n", "SEC", ";KEY", 200, ""},
      // No inline comments: ";" and "#" inside values are SQL text.
      {"[SEC]\nSQL001=SELECT A ; B\n", "SEC", "SQL001", 200, "SELECT A ; B"},
      {"[SEC]\nSQL001=WHERE X = ';' -- ; note\n", "SEC", "SQL001", 200, "WHERE X = ';' -- ; note"},
      {"[SEC]\nKEY=x ;comment\n", "SEC", "KEY", 200, "x ;comment"},
      // "#" starts no comment.
      {"[SEC]\n#KEY=x\n", "SEC", "#KEY", 200, "x"},
      // A commented-out header leaves the lines in the section above.
      {"[SEC]\n;[OTHER]\nKEY=x\n", "SEC", "KEY", 200, "x"},
      // Indented lines are lines of their own, not continuations.
      {"[SEC]\nSQL001=SELECT A\n    FROM T\n", "SEC", "SQL001", 200, "SELECT A"},
      {"[SEC]\nSQL001=SELECT A\n    FROM T\n", "SEC", "FROM T", 200, ""},
  };
  ExpectLookups(cases, std::size(cases));
}

TEST(ProfileText, LineWithoutEqualsSignIsKeyWithEmptyValue) {
  const LookupCase cases[] = {
      {"[SEC]\nKEY\nKEY=x\n", "SEC", "KEY", 200, ""},
      {"[SEC]\n  KEY  \nKEY=x\n", "SEC", "key", 200, ""},
      // The whole line is the name, blanks inside included.
      {"[SEC]\nSQL002 FROM T\nSQL002=x\n", "SEC", "SQL002 FROM T", 200, ""},
      {"[SEC]\nSQL002 FROM T\nSQL002=x\n", "SEC", "SQL002", 200, "x"},
      {"[SEC]\nKEY\nOTHER=x\n", "SEC", "OTHER", 200, "x"},
  };
  ExpectLookups(cases, std::size(cases));
}

TEST(ProfileText, OnePairOfMatchingQuotesIsRemovedAfterTrimmingAsThePlatformCallDoes) {
  const LookupCase cases[] = {
      {"[SEC]\nKEY=\"value\"\n", "SEC", "KEY", 200, "value"},
      {"[SEC]\nKEY='value'\n", "SEC", "KEY", 200, "value"},
      {"[SEC]\nKEY= \" padded \" \n", "SEC", "KEY", 200, " padded "},
      {"[SEC]\nKEY=\"\"\n", "SEC", "KEY", 200, ""},
      {"[SEC]\nKEY=''\n", "SEC", "KEY", 200, ""},
      {"[SEC]\nKEY=\"\"x\"\"\n", "SEC", "KEY", 200, "\"x\""},
      // Only one pair, only matching ones, only around the whole value.
      {"[SEC]\nKEY=\"\n", "SEC", "KEY", 200, "\""},
      {"[SEC]\nKEY='\n", "SEC", "KEY", 200, "'"},
      {"[SEC]\nKEY=\"value'\n", "SEC", "KEY", 200, "\"value'"},
      {"[SEC]\nKEY='a' AND B='b'\n", "SEC", "KEY", 200, "a' AND B='b"},
      {"[SEC]\nKEY=X = 'a'\n", "SEC", "KEY", 200, "X = 'a'"},
      {"[SEC]\nKEY='a' x\n", "SEC", "KEY", 200, "'a' x"},
      // The cut counts the characters after the opening quote, closing quote
      // included, and a value that exactly fills the buffer loses one more.
      {"[SEC]\nKEY=\"abcdef\"\n", "SEC", "KEY", 4, "abc"},
      {"[SEC]\nKEY=\"abcd\"\n", "SEC", "KEY", 4, "abc"},
      {"[SEC]\nKEY=\"abc\"\n", "SEC", "KEY", 4, "ab"},
      {"[SEC]\nKEY=\"abc\"\n", "SEC", "KEY", 5, "abc"},
      {"[SEC]\nFTYP01=\"CHAR\"\n", "SEC", "FTYP01", 5, "CHA"},
      {"[SEC]\nFLEN01=\"12\"\n", "SEC", "FLEN01", 4, "12"},
      {"[SEC]\nKEY=\"\"\n", "SEC", "KEY", 1, ""},
  };
  ExpectLookups(cases, std::size(cases));
}

TEST(ProfileText, ValueIsCutToSizeMinusOne) {
  const std::string long_line(5000, 'x');
  const LookupCase cases[] = {
      {"[SEC]\nKEY=abcdef\n", "SEC", "KEY", 4, "abc"},
      {"[SEC]\nKEY=abc\n", "SEC", "KEY", 4, "abc"},
      {"[SEC]\nKEY=abc\n", "SEC", "KEY", 1, ""},
      {"[SEC]\nKEY=abc\n", "SEC", "KEY", 0, ""},
      // Trimming comes first: leading blanks do not use up the size.
      {"[SEC]\nKEY=   12x\n", "SEC", "KEY", 4, "12x"},
      {"[SEC]\nKEY=" + long_line + "\n", "SEC", "KEY", 200, long_line.substr(0, 199)},
      {"[SEC]\nKEY=" + long_line + "\n", "SEC", "KEY", 10000, long_line},
      {"[SEC]\n" + long_line + "=v\n", "SEC", long_line, 200, "v"},
  };
  ExpectLookups(cases, std::size(cases));
}

TEST(ProfileText, ByteOrderMarkAndLineEnds) {
  const LookupCase cases[] = {
      {"\xEF\xBB\xBF[SEC]\nKEY=x\n", "SEC", "KEY", 200, "x"},
      // Only at the start of the file.
      {"[SEC]\n\xEF\xBB\xBFKEY=x\n", "SEC", "\xEF\xBB\xBFKEY", 200, "x"},
      // Values keep their bytes (no code page is applied).
      {"[SEC]\nKEY=\xC3\xB6\xC3\x9F \xE4\n", "SEC", "KEY", 200, "\xC3\xB6\xC3\x9F \xE4"},
      {"[SEC]\r\nKEY=x\r\nNEXT=y\r\n", "SEC", "KEY", 200, "x"},
      {"[SEC]\r\nKEY=x\r\nNEXT=y\r\n", "SEC", "NEXT", 200, "y"},
      {"[SEC]\r\nKEY=\"x\"\r\n", "SEC", "KEY", 200, "x"},
      {"[SEC]\nKEY=x", "SEC", "KEY", 200, "x"},
      {"[SEC]\nKEY=x\r", "SEC", "KEY", 200, "x"},
      // A CR inside a line is content.
      {"[SEC]\nKEY=a\rb\n", "SEC", "KEY", 200, "a\rb"},
      // Empty and blank lines are skipped.
      {"\n\n[SEC]\n\n  \t\nKEY=x\n\n", "SEC", "KEY", 200, "x"},
  };
  ExpectLookups(cases, std::size(cases));
}

}  // namespace
}  // namespace kelvador
