// Valid and invalid UTF-8 shared by the portable decoder's tests and the check that Windows'
// converter agrees with it.
#pragma once

#include <string>

namespace companion {

struct Utf8Case {
  const char* name;
  std::string bytes;
  bool valid;
  std::u16string expected;
};

inline const Utf8Case kUtf8Cases[] = {
    {"Ascii", "Amen.", true, u"Amen."},
    {"Nul", std::string("a\0b", 3), true, std::u16string(u"a\0b", 3)},
    {"TwoByte", "\xC3\xA9", true, u"\u00E9"},
    {"ThreeByteQuote", "\xE2\x80\x99", true, u"\u2019"},
    {"LastBmp", "\xEF\xBF\xBF", true, u"\uFFFF"},
    {"ByteOrderMark", "\xEF\xBB\xBF{", true, u"\uFEFF{"},
    {"FourByte", "\xF0\x9F\x98\x80", true, u"\U0001F600"},
    {"LastScalar", "\xF4\x8F\xBF\xBF", true, u"\U0010FFFF"},
    {"BeforeSurrogates", "\xED\x9F\xBF", true, u"\uD7FF"},
    {"AfterSurrogates", "\xEE\x80\x80", true, u"\uE000"},
    {"LoneContinuation", "\x80", false, u""},
    {"OverlongSlash", "\xC0\xAF", false, u""},
    {"OverlongTwoByteMax", "\xC1\xBF", false, u""},
    {"OverlongThreeByte", "\xE0\x80\xAF", false, u""},
    {"OverlongThreeByteMax", "\xE0\x9F\xBF", false, u""},
    {"OverlongFourByte", "\xF0\x8F\xBF\xBF", false, u""},
    {"EncodedHighSurrogate", "\xED\xA0\x80", false, u""},
    {"EncodedLowSurrogate", "\xED\xBF\xBF", false, u""},
    {"EncodedSurrogatePair", "\xED\xA0\xBD\xED\xB8\x80", false, u""},
    {"AboveLastScalar", "\xF4\x90\x80\x80", false, u""},
    {"LeadF5", "\xF5\x80\x80\x80", false, u""},
    {"LeadFF", "\xFF", false, u""},
    {"TruncatedTwoByte", "a\xC3", false, u""},
    {"TruncatedThreeByte", "\xE2\x80", false, u""},
    {"TruncatedFourByte", "\xF0\x9F\x98", false, u""},
    {"MissingContinuation", "\xE2\x41\x41", false, u""},
    {"ExtraContinuation", "\xC3\xA9\xA9", false, u""},
    {"FiveByteForm", "\xF8\x88\x80\x80\x80", false, u""},
};

}  // namespace companion
