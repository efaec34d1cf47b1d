#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace companion {
namespace {

TEST(SkipProgramName, QuotesAndBlanks) {
  const std::u16string_view kCases[][2] = {
      // Control characters below the blank are skipped like blanks; the arguments stay whole.
      {u"Companion.exe \t\r\n\x01\x1f--quit now ", u"--quit now "},
      {u"\"C:\\Program Files\\Scrollwick\\Companion.exe\" --quit", u"--quit"},
      // The name runs on after a closing quote until the next blank.
      {u"\"C:\\Program Files\\Scrollwick\\Companion.exe\"--quit", u""},
      {u"C:\\\"Program Files\"\\Companion.exe --preview", u"--preview"},
      {u"Companion.exe", u""},
      {u"", u""},
      {u"\"unterminated name --quit", u""},
  };
  for (const auto& [commandLine, expected] : kCases)
    EXPECT_EQ(SkipProgramName(commandLine), expected) << commandLine.size();
}

TEST(ParseCommandLine, OnlyExactSwitchesMatch) {
  EXPECT_EQ(ParseCommandLine(u"--self-test"), CommandLineSwitch::SelfTest);
  EXPECT_EQ(ParseCommandLine(u"--quit"), CommandLineSwitch::Quit);
  EXPECT_EQ(ParseCommandLine(u"--preview"), CommandLineSwitch::Preview);
  const std::u16string_view kOthers[] = {u"",           u"--QUIT", u"--quit ",
                                         u"--self-tes", u"/quit",  {u"--quit\0x", 8}};
  for (const auto other : kOthers)
    EXPECT_EQ(ParseCommandLine(other), CommandLineSwitch::None) << other.size();
}

}  // namespace
}  // namespace companion
