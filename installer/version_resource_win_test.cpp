// Reads back what Windows shows in the properties of the program and of its setup program and
// checks it against the version and names CMake holds (compiled in as definitions). Prints each
// mismatch and exits 1 if there is any.
//
//   version_resource_test PROGRAM SETUP
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#define WIDE_TEXT(text) L"" text

namespace {

int failures = 0;

void Expect(const wchar_t* file, const wchar_t* what, const std::wstring& actual,
            const wchar_t* expected) {
  if (actual == expected) return;
  std::fwprintf(stderr, L"%ls: %ls is \"%ls\", expected \"%ls\"\n", file, what, actual.c_str(),
                expected);
  ++failures;
}

void CheckVersionResource(const wchar_t* file) {
  std::vector<BYTE> block(GetFileVersionInfoSizeW(file, nullptr) + sizeof(DWORD));
  GetFileVersionInfoW(file, 0, static_cast<DWORD>(block.size()), block.data());
  void* value = nullptr;
  UINT size = 0;
  wchar_t text[96] = L"(missing)";
  if (VerQueryValueW(block.data(), L"\\", &value, &size) && size >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    std::swprintf(text, 96, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
  }
  Expect(file, L"the version number", text, WIDE_TEXT(EXPECTED_VERSION_QUAD));
  // The strings sit under the first language and code page the file lists.
  std::wstring table = L"(no translation)";
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &size) && size >= 4) {
    const WORD* translation = static_cast<const WORD*>(value);
    std::swprintf(text, 96, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    table = text;
  }
  const std::pair<const wchar_t*, const wchar_t*> kStrings[] = {
      {L"ProductName", WIDE_TEXT(EXPECTED_PRODUCT)},
      {L"ProductVersion", WIDE_TEXT(EXPECTED_VERSION_QUAD)},
      {L"FileVersion", WIDE_TEXT(EXPECTED_VERSION_QUAD)},
      {L"CompanyName", WIDE_TEXT(EXPECTED_PUBLISHER)}};
  for (const auto& [name, expected] : kStrings) {
    const bool found = VerQueryValueW(block.data(), (table + name).c_str(), &value, &size);
    Expect(file, name, found && size > 0 ? static_cast<const wchar_t*>(value) : L"(missing)",
           expected);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  CheckVersionResource(argv[1]);
  CheckVersionResource(argv[2]);
  return failures == 0 ? 0 : 1;
}
