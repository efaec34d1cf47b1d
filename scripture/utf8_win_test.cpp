// Windows' converter, as the program calls it, against the portable decoder the native tests
// link in its place: both must accept and reject the same bytes and agree on the result.
#include <gtest/gtest.h>

#include <string>

#include "scripture/book_source.h"
#include "scripture/utf8.h"
#include "scripture/utf8_test_cases.h"

namespace companion {
namespace {

// Converts as the request does (the length first, then the text); refused when either call fails.
void ExpectAgreement(const std::string& bytes) {
  const int size = static_cast<int>(bytes.size());
  const int length = ConvertUtf8ToUtf16(bytes.data(), size, nullptr, 0);
  std::u16string windows(static_cast<std::size_t>(length), u'\0');
  const bool windowsValid =
      length > 0 && ConvertUtf8ToUtf16(bytes.data(), size, windows.data(), length) == length;
  std::u16string portable;
  ASSERT_EQ(windowsValid, DecodeUtf8(bytes, portable)) << ::testing::PrintToString(bytes);
  if (windowsValid) {
    ASSERT_TRUE(windows == portable) << ::testing::PrintToString(bytes);
  }
}

// The named cases, all two- and three-byte sequences, four-byte ones around the continuation range.
TEST(Utf8WindowsTest, AgreesOnEveryShortSequence) {
  for (const Utf8Case& c : kUtf8Cases)
    ExpectAgreement(c.bytes);
  for (int a = 0x80; a < 0x100; ++a) {
    for (int b = 0; b < 0x100; ++b) {
      ExpectAgreement({'x', char(a), char(b)});
      for (int c = 0x70; a >= 0xE0 && c < 0xD0; ++c)
        ExpectAgreement({char(a), char(b), char(c)});
    }
  }
  for (int a = 0xF0; a < 0x100; ++a) {
    for (int b = 0x70; b < 0xD0; ++b) {
      for (const int c : {0x7F, 0x80, 0xBF, 0xC0}) {
        ExpectAgreement({char(a), char(b), char(c)});
        for (const int d : {0x7F, 0x80, 0xBF, 0xC0, 0x61})
          ExpectAgreement({char(a), char(b), char(c), char(d)});
      }
    }
  }
}

}  // namespace
}  // namespace companion
