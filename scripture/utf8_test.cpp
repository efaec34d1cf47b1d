#include "scripture/utf8.h"

#include <gtest/gtest.h>

#include "scripture/book_source.h"
#include "scripture/utf8_test_cases.h"

namespace companion {
namespace {

TEST(DecodeUtf8Test, ValidAndInvalidSequences) {
  for (const Utf8Case& c : kUtf8Cases) {
    std::u16string out;
    EXPECT_EQ(DecodeUtf8(c.bytes, out), c.valid) << c.name;
    if (c.valid) {
      EXPECT_TRUE(out == c.expected) << c.name;
    }
  }
}

TEST(ConvertUtf8ToUtf16Test, AsksForLengthThenConverts) {
  const std::string bytes = "\xE2\x80\x9CYes\xE2\x80\x9D \xF0\x9F\x98\x80";
  const int length = ConvertUtf8ToUtf16(bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  ASSERT_EQ(length, 8);
  std::u16string out(8, u'\0');
  EXPECT_EQ(ConvertUtf8ToUtf16(bytes.data(), static_cast<int>(bytes.size()), out.data(), 7), 0)
      << "too small a buffer fails";
  EXPECT_EQ(ConvertUtf8ToUtf16(bytes.data(), static_cast<int>(bytes.size()), out.data(), 8), 8);
  EXPECT_TRUE(out == u"\u201CYes\u201D \U0001F600");
  EXPECT_EQ(ConvertUtf8ToUtf16("\xC0\xAF", 2, nullptr, 0), 0);
  EXPECT_EQ(ConvertUtf8ToUtf16("", 0, nullptr, 0), 0);
}

}  // namespace
}  // namespace companion
