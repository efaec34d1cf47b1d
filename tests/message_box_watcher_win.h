#pragma once
// Closes the message boxes that the code under test opens, and remembers their texts, so a test
// can check what the user would have been told without anyone pressing OK.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace companion::testing {

class MessageBoxWatcher {
 public:
  MessageBoxWatcher();
  ~MessageBoxWatcher();
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  // Texts of the boxes closed so far, oldest first.
  std::vector<std::wstring> Texts();

 private:
  void Watch();

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::wstring> texts_;
  std::thread thread_;
};

}  // namespace companion::testing
