// Windows' converter, as the program calls it, against the portable decoder the native tests
// link in its place: both must accept and reject the same bytes and agree on the result.
#include <gtest/gtest.h>

#include <string>

#include "scripture/book_source.h"
#include "scripture/utf8.h"
#include "scripture/utf8_test_cases.h"

namespace companion {
namespace {

// Returns the conversion as the request makes it, or nothing in `valid` when it is refused.
std::u16string Convert(const std::string& bytes, bool& valid) {
  const int size = static_cast<int>(bytes.size());
  const int length = ConvertUtf8ToUtf16(bytes.data(), size, nullptr, 0);
  valid = length > 0;
  if (!valid) return {};
  std::u16string out(static_cast<std::size_t>(length), u'\0');
  valid = ConvertUtf8ToUtf16(bytes.data(), size, out.data(), length) == length;
  return out;
}

void ExpectAgreement(const std::string& bytes) {
  bool windowsValid = false;
  const std::u16string windows = Convert(bytes, windowsValid);
  std::u16string portable;
  const bool portableValid = DecodeUtf8(bytes, portable);
  std::string hex;
  for (unsigned char b : bytes)
    hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
  ASSERT_EQ(windowsValid, portableValid) << hex;
  if (windowsValid) {
    ASSERT_TRUE(windows == portable) << hex;
  }
}

// The named cases, every two- and three-byte sequence, and four-byte ones with their truncations
// around the continuation range.
TEST(Utf8WindowsTest, AgreesOnEveryShortSequence) {
  for (const Utf8Case& c : kUtf8Cases)
    ExpectAgreement(c.bytes);
  for (int a = 0x80; a < 0x100; ++a) {
    for (int b = 0; b < 0x100; ++b) {
      ExpectAgreement({'x', static_cast<char>(a), static_cast<char>(b)});
      if (a < 0xE0) continue;
      for (int c = 0x70; c < 0xD0; ++c) {
        ExpectAgreement({static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)});
      }
    }
  }
  for (int a = 0xF0; a < 0x100; ++a) {
    for (int b = 0x70; b < 0xD0; ++b) {
      for (const int c : {0x7F, 0x80, 0xBF, 0xC0}) {
        for (const int d : {0x7F, 0x80, 0xBF, 0xC0}) {
          const std::string bytes = {static_cast<char>(a), static_cast<char>(b),
                                     static_cast<char>(c), static_cast<char>(d)};
          ExpectAgreement(bytes);
          ExpectAgreement(bytes.substr(0, 3));
          ExpectAgreement(bytes.substr(0, 2) + "a");
        }
      }
    }
  }
}

}  // namespace
}  // namespace companion
