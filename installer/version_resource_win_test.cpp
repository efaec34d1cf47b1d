// version_resource_test PROGRAM SETUP: prints where their properties differ from CMake's; exit 1.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#define WIDE_TEXT(text) L"" text

namespace {

int failures = 0;

// The fixed version, then the strings of the first translation listed (none: `text` finds none).
void CheckVersionResource(const wchar_t* file) {
  const auto expect = [&](const wchar_t* what, std::wstring actual, const wchar_t* expected) {
    if (actual == expected) return;
    std::fwprintf(stderr, L"%ls %ls: \"%ls\" != \"%ls\"\n", file, what, actual.c_str(), expected);
    ++failures;
  };
  std::vector<BYTE> block(GetFileVersionInfoSizeW(file, nullptr) + sizeof(DWORD));
  GetFileVersionInfoW(file, 0, static_cast<DWORD>(block.size()), block.data());
  void* value = nullptr;
  UINT size = 0;
  wchar_t text[96] = L"(missing)";
  if (VerQueryValueW(block.data(), L"\\", &value, &size) && size >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* f = static_cast<const VS_FIXEDFILEINFO*>(value);
    std::swprintf(text, 96, L"%u.%u.%u.%u", HIWORD(f->dwFileVersionMS), LOWORD(f->dwFileVersionMS),
                  HIWORD(f->dwFileVersionLS), LOWORD(f->dwFileVersionLS));
  }
  expect(L"the version number", text, WIDE_TEXT(EXPECTED_VERSION_QUAD));
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &size) && size >= 4)
    std::swprintf(text, 96, L"\\StringFileInfo\\%04x%04x\\", static_cast<const WORD*>(value)[0],
                  static_cast<const WORD*>(value)[1]);
  for (const auto& [name, expected] :
       {std::pair{L"ProductName", WIDE_TEXT(EXPECTED_PRODUCT)},
        std::pair{L"ProductVersion", WIDE_TEXT(EXPECTED_VERSION_QUAD)},
        std::pair{L"FileVersion", WIDE_TEXT(EXPECTED_VERSION_QUAD)},
        std::pair{L"CompanyName", WIDE_TEXT(EXPECTED_PUBLISHER)}}) {
    const bool found =
        VerQueryValueW(block.data(), (std::wstring(text) + name).c_str(), &value, &size);
    expect(name, found && size > 0 ? static_cast<const wchar_t*>(value) : L"(missing)", expected);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i)
    CheckVersionResource(argv[i]);
  return failures == 0 ? 0 : 1;
}
