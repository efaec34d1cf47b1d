#pragma once
#include <windows.h>

namespace companion {

// A display as EnumDisplayMonitors reports it, with its extended information.
struct MonitorRecord {
  HMONITOR handle = nullptr;
  MONITORINFOEXW info{};
};

}  // namespace companion
