#include "scripture/text_classes.h"

#include <gtest/gtest.h>

namespace companion {
namespace {

TEST(TextClassesTest, BoundariesOfEachClass) {
  struct Case {
    char16_t c;
    bool space, upper, digit;
  };
  const Case kCases[] = {
      {0x0008, false, false, false}, {0x0009, true, false, false},  {0x000D, true, false, false},
      {0x000E, false, false, false}, {0x0020, true, false, false},  {0x0085, true, false, false},
      {0x00A0, true, false, false},  {0x00A1, false, false, false}, {u'/', false, false, false},
      {u'0', false, false, true},    {u'9', false, false, true},    {u':', false, false, false},
      {u'@', false, false, false},   {u'A', false, true, false},    {u'Z', false, true, false},
      {u'[', false, false, false},   {0x00B2, false, false, true},  {0x00B9, false, false, true},
      {0x00BC, false, false, false}, {0x00C0, false, true, false},  {0x00D7, false, false, false},
      {0x00DE, false, true, false},  {0x00DF, false, false, false}, {0x0100, false, true, false},
      {0x0101, false, false, false}, {0x0669, false, false, true},  {0x066A, false, false, false},
      {0x200A, true, false, false},  {0x200B, false, false, false}, {0x3000, true, false, false},
      {0xFEFF, false, false, false}, {0xFF21, false, true, false},  {0xFFFF, false, false, false},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(IsSpace(c.c), c.space) << std::hex << static_cast<int>(c.c);
    EXPECT_EQ(IsUpper(c.c), c.upper) << std::hex << static_cast<int>(c.c);
    EXPECT_EQ(IsDigit(c.c), c.digit) << std::hex << static_cast<int>(c.c);
  }
}

}  // namespace
}  // namespace companion
