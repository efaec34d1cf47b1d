#include "app/command_line.h"

namespace companion {

std::u16string_view SkipProgramName(std::u16string_view commandLine) {
  size_t i = 0;
  bool quoted = false;
  for (; i < commandLine.size(); ++i) {
    const char16_t c = commandLine[i];
    if (c == u'"') {
      quoted = !quoted;
    } else if (!quoted && c <= u' ') {
      break;
    }
  }
  while (i < commandLine.size() && commandLine[i] <= u' ')
    ++i;
  return commandLine.substr(i);
}

CommandLineSwitch ParseCommandLine(std::u16string_view arguments) {
  if (arguments == u"--self-test") return CommandLineSwitch::SelfTest;
  if (arguments == u"--quit") return CommandLineSwitch::Quit;
  if (arguments == u"--preview") return CommandLineSwitch::Preview;
  return CommandLineSwitch::None;
}

}  // namespace companion
