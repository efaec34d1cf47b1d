#include "tests/temp_folder_win.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/wide_win.h"

namespace companion::testing {

namespace {

void RemoveTree(const std::u16string& path) {
  std::u16string from = path;
  from.push_back(u'\0');  // SHFileOperation takes a list ending in two nulls
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = AsWide(from);
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

}  // namespace

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  static int counter = 0;
  for (;;) {
    path_ = ToU16(base) + u"scrollwick-test-" +
            std::u16string(AsU16(std::to_wstring(GetCurrentProcessId()).c_str())) + u"-" +
            std::u16string(AsU16(std::to_wstring(++counter).c_str()));
    if (CreateDirectoryW(AsWide(path_), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("cannot create temp folder");
  }
}

TempFolder::~TempFolder() {
  RemoveTree(path_);
}

std::string ReadWholeFile(const std::u16string& path) {
  std::ifstream in(AsWide(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteWholeFile(const std::u16string& path, const std::string& bytes) {
  std::ofstream out(AsWide(path), std::ios::binary);
  out << bytes;
}

bool FileExists(const std::u16string& path) {
  return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace companion::testing
