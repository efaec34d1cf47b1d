#pragma once
// A fresh folder under the temporary directory, removed with everything in it at the end.
#include <windows.h>

#include <string>

namespace companion::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::u16string& Path() const { return path_; }

 private:
  std::u16string path_;
};

std::string ReadWholeFile(const std::u16string& path);
void WriteWholeFile(const std::u16string& path, const std::string& bytes);
bool FileExists(const std::u16string& path);

}  // namespace companion::testing
