#include "scripture/unit_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace companion {
namespace {

// Texts of every length around two blocks, with one sought unit at every position and every
// start, so each lane of a block and the tail after the last whole block are covered.
TEST(FindFirstUnitTest, FindsTheUnitInEveryLaneAndInTheTail) {
  struct Case {
    const char* name;
    char16_t unit;
    bool controls;
    bool found;
  };
  const Case kCases[] = {
      {"FirstSought", u'.', false, true},
      {"ThirdSought", u'!', false, true},
      {"ControlWhenAsked", u'\x1F', true, true},
      {"NulWhenAsked", u'\0', true, true},
      {"ControlNotAsked", u'\x1F', false, false},
      {"NulNotAsked", u'\0', false, false},
      {"SpaceIsNoControl", u' ', true, false},
      {"SoughtByteInHighHalf", u'\x2E00', true, false},
      {"ControlBitsInHighHalf", u'\x1F00', true, false},
  };
  for (const Case& c : kCases) {
    for (std::size_t length = 1; length <= 19; ++length) {
      for (std::size_t at = 0; at < length; ++at) {
        std::u16string text(length, u'a');
        text[at] = c.unit;
        for (std::size_t from = 0; from <= length; ++from) {
          const std::size_t expected = c.found && from <= at ? at : length;
          EXPECT_EQ(FindFirstUnit(text, from, u'.', u'?', u'!', c.controls), expected)
              << c.name << " length " << length << " at " << at << " from " << from;
        }
      }
    }
  }
}

TEST(FindFirstUnitTest, ReturnsTheFirstOfSeveral) {
  EXPECT_EQ(FindFirstUnit(u"abcdefghij!klmnopq.rs?", 11, u'.', u'?', u'!', false), 18u);
}

}  // namespace
}  // namespace companion
