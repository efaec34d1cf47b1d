#include "tests/temp_folder_win.h"

#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/wide_win.h"

namespace companion::testing {

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  const std::wstring prefix =
      base + (L"scrollwick-test-" + std::to_wstring(GetCurrentProcessId())) + L"-";
  static int counter = 0;
  do {
    path_ = ToU16((prefix + std::to_wstring(++counter)).c_str());
    if (CreateDirectoryW(AsWide(path_), nullptr)) return;
  } while (GetLastError() == ERROR_ALREADY_EXISTS);
  throw std::runtime_error("cannot create temp folder");
}

TempFolder::~TempFolder() {
  std::u16string from = path_;
  from.push_back(u'\0');  // SHFileOperation takes a list ending in two nulls
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = AsWide(from);
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

std::string ReadWholeFile(const std::u16string& path) {
  std::ifstream in(AsWide(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteWholeFile(const std::u16string& path, const std::string& bytes) {
  std::ofstream(AsWide(path), std::ios::binary) << bytes;
}

bool FileExists(const std::u16string& path) {
  return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace companion::testing
