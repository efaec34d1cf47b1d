#include "scripture/utf8.h"

#include <gtest/gtest.h>

#include "scripture/book_source.h"
#include "scripture/utf8_test_cases.h"

namespace companion {
namespace {

// ASCII is taken in blocks: each case, alone and at every offset across two blocks between runs
// of ASCII, must decode (or fail) as it does alone, and so must a non-ASCII byte in every lane.
TEST(DecodeUtf8Test, ValidAndInvalidSequencesAtEveryBlockOffset) {
  for (const Utf8Case& c : kUtf8Cases) {
    for (std::size_t before = 0; before <= 33; ++before) {
      for (const std::size_t after : {0, 17}) {
        const std::string bytes = std::string(before, 'a') + c.bytes + std::string(after, 'b');
        const std::u16string expected =
            std::u16string(before, u'a') + c.expected + std::u16string(after, u'b');
        std::u16string out;
        ASSERT_EQ(DecodeUtf8(bytes, out), c.valid) << c.name << " after " << before;
        ASSERT_EQ(MeasureUtf8(bytes), c.valid ? std::ptrdiff_t(expected.size()) : -1) << c.name;
        ASSERT_TRUE(!c.valid || out == expected) << c.name << " after " << before;
      }
    }
  }
}

TEST(ConvertUtf8ToUtf16Test, AsksForLengthThenConverts) {
  const std::string bytes = "\xE2\x80\x9CYes\xE2\x80\x9D \xF0\x9F\x98\x80";
  const int length = ConvertUtf8ToUtf16(bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  ASSERT_EQ(length, 8);
  std::u16string out(8, u'\0');
  EXPECT_EQ(ConvertUtf8ToUtf16(bytes.data(), static_cast<int>(bytes.size()), out.data(), 7), 0);
  EXPECT_EQ(ConvertUtf8ToUtf16(bytes.data(), static_cast<int>(bytes.size()), out.data(), 8), 8);
  EXPECT_TRUE(out == u"\u201CYes\u201D \U0001F600");
  EXPECT_EQ(ConvertUtf8ToUtf16("\xC0\xAF", 2, nullptr, 0), 0);
}

}  // namespace
}  // namespace companion
