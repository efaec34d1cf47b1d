#include "app/command_line.h"

#include <gtest/gtest.h>

namespace companion {
namespace {

struct SkipCase {
  const char16_t* commandLine;
  const char16_t* expected;
};

TEST(SkipProgramName, QuotesAndBlanks) {
  const SkipCase kCases[] = {
      {u"Companion.exe --quit", u"--quit"},
      {u"Companion.exe     --quit", u"--quit"},
      {u"Companion.exe\t\r\n --quit", u"--quit"},
      {u"\"C:\\Program Files\\Scrollwick\\Companion.exe\" --quit", u"--quit"},
      // The name runs on after a closing quote until the next blank.
      {u"\"C:\\Program Files\\Scrollwick\\Companion.exe\"--quit", u""},
      {u"C:\\\"Program Files\"\\Companion.exe --preview", u"--preview"},
      {u"Companion.exe --quit ", u"--quit "},
      {u"Companion.exe --quit now", u"--quit now"},
      {u"Companion.exe", u""},
      {u"", u""},
      {u"\"unterminated name --quit", u""},
      // Control characters below the blank are skipped like blanks.
      {u"Companion.exe \x01\x1f--self-test", u"--self-test"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(SkipProgramName(c.commandLine), std::u16string_view(c.expected))
        << std::u16string_view(c.commandLine).size();
  }
}

struct SwitchCase {
  const char16_t* arguments;
  CommandLineSwitch expected;
};

TEST(ParseCommandLine, OnlyExactSwitchesMatch) {
  const SwitchCase kCases[] = {
      {u"--self-test", CommandLineSwitch::SelfTest}, {u"--quit", CommandLineSwitch::Quit},
      {u"--preview", CommandLineSwitch::Preview},    {u"", CommandLineSwitch::None},
      {u"--QUIT", CommandLineSwitch::None},          {u"--quit ", CommandLineSwitch::None},
      {u"--quit now", CommandLineSwitch::None},      {u"-quit", CommandLineSwitch::None},
      {u"/quit", CommandLineSwitch::None},           {u"--preview--quit", CommandLineSwitch::None},
      {u"--self-tes", CommandLineSwitch::None},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ParseCommandLine(c.arguments), c.expected);
  }
}

TEST(ParseCommandLine, EmbeddedNullIsNotTheEndOfTheText) {
  const std::u16string withNull(u"--quit\0x", 8);
  EXPECT_EQ(ParseCommandLine(withNull), CommandLineSwitch::None);
}

}  // namespace
}  // namespace companion
