#pragma once
// The program's command line: one optional switch, matched whole and case-sensitively.
#include <string_view>

namespace companion {

enum class CommandLineSwitch { None, SelfTest, Quit, Preview };

// Skips the program name of a full command line (a double quote toggles quoting, so a quoted
// name may contain blanks), then every character up to 0x20. Returns what remains.
std::u16string_view SkipProgramName(std::u16string_view commandLine);

// The switch named by the text after the program name; anything but an exact match is None.
CommandLineSwitch ParseCommandLine(std::u16string_view arguments);

}  // namespace companion
