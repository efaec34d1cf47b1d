// The book cache's file operations on Windows.
//
// Recency is the file's last-write time, set again whenever a kept book serves a passage. The
// last-access time would say the same for free, but Windows does not keep it up to date on many
// volumes (NtfsDisableLastAccessUpdate) and Wine keeps it as Linux's relatime does, at most once
// a day; a time the program writes itself means the same everywhere.
#include <windows.h>

#include <cwchar>
#include <stdexcept>

#include "base/owners_win.h"
#include "base/replace_file_win.h"
#include "base/wide_win.h"
#include "scripture/book_cache.h"
#include "scripture/book_source.h"

namespace companion {
namespace {

std::u16string PathOf(const std::u16string& folder, const std::u16string& name) {
  return folder + u"\\" + name;
}

// Calls `visit` with every entry of `folder` but "." and "..".
template <typename Visit>
void ForEachEntry(const std::u16string& folder, Visit visit) {
  WIN32_FIND_DATAW entry;
  const FindHandle find(FindFirstFileExW(AsWide(folder + u"\\*"), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, 0));
  if (!find.Valid()) return;
  do {
    if (std::wcscmp(entry.cFileName, L".") != 0 && std::wcscmp(entry.cFileName, L"..") != 0) {
      visit(entry);
    }
  } while (FindNextFileW(find.Get(), &entry));
}

std::uint64_t Combined(DWORD high, DWORD low) {
  return (std::uint64_t{high} << 32) | low;
}

bool WriteWholeFile(const std::u16string& path, const std::string& bytes) {
  const FileHandle file(CreateFileW(AsWide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  // Flushed before the move: otherwise, after a power cut, the move could be on disk and the
  // data not.
  return file.Valid() &&
         WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && FlushFileBuffers(file.Get());
}

}  // namespace

std::vector<CachedBook> ListCachedBooks(const std::u16string& folder) {
  std::vector<CachedBook> books;
  ForEachEntry(folder, [&](const WIN32_FIND_DATAW& translation) {
    if (!(translation.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    const std::u16string code = ToU16(translation.cFileName);
    ForEachEntry(PathOf(folder, code), [&](const WIN32_FIND_DATAW& file) {
      if (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
      books.push_back(
          {code + u"\\" + ToU16(file.cFileName), Combined(file.nFileSizeHigh, file.nFileSizeLow),
           Combined(file.ftLastWriteTime.dwHighDateTime, file.ftLastWriteTime.dwLowDateTime)});
    });
  });
  return books;
}

std::string ReadCachedBook(const std::u16string& folder, const std::u16string& name) {
  const FileHandle file(CreateFileW(AsWide(PathOf(folder, name)), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.Valid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > kMaxBibleBookBytes) {
    throw std::runtime_error("Cannot read cached book");
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size()) {
    throw std::runtime_error("Cannot read cached book");
  }
  return bytes;
}

void WriteCachedBook(const std::u16string& folder, const std::u16string& name,
                     const std::string& bytes) {
  const std::u16string path = PathOf(folder, name);
  // Either folder may be missing: never made yet, or removed by the user. Failures show below.
  CreateDirectoryW(AsWide(folder), nullptr);
  CreateDirectoryW(AsWide(path.substr(0, path.rfind(u'\\'))), nullptr);
  const std::u16string temporary = path + u".tmp";
  if (!WriteWholeFile(temporary, bytes) || !ReplaceWithTemporaryFile(temporary, path)) {
    DeleteFileW(AsWide(temporary));
    throw std::runtime_error("Cannot keep book");
  }
}

void RemoveCachedBook(const std::u16string& folder, const std::u16string& name) {
  DeleteFileW(AsWide(PathOf(folder, name)));
}

void MarkCachedBookUsed(const std::u16string& folder, const std::u16string& name) {
  const FileHandle file(CreateFileW(AsWide(PathOf(folder, name)), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  if (file.Valid()) SetFileTime(file.Get(), nullptr, nullptr, &now);
}

}  // namespace companion
