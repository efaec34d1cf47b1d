// Reads back what Windows shows in the properties of the program and of its setup program and
// checks it against the version and names CMake holds (compiled in as definitions). Prints each
// mismatch and exits 1 if there is any.
//
//   version_resource_test PROGRAM SETUP
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

int failures = 0;

void Expect(const wchar_t* file, const wchar_t* what, const std::wstring& actual,
            const char* expected) {
  const std::wstring wanted(expected, expected + std::strlen(expected));
  if (actual == wanted) return;
  std::fwprintf(stderr, L"%ls: %ls is \"%ls\", expected \"%ls\"\n", file, what, actual.c_str(),
                wanted.c_str());
  ++failures;
}

void CheckVersionResource(const wchar_t* file) {
  std::vector<BYTE> block(GetFileVersionInfoSizeW(file, nullptr) + sizeof(DWORD));
  GetFileVersionInfoW(file, 0, static_cast<DWORD>(block.size()), block.data());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  wchar_t numbers[64] = L"(missing)";
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) &&
      size >= sizeof(VS_FIXEDFILEINFO)) {
    std::swprintf(numbers, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
  }
  Expect(file, L"the version number", numbers, EXPECTED_VERSION_QUAD);
  // The strings sit under the first language and code page the file lists.
  WORD* translation = nullptr;
  wchar_t table[64] = L"(none)";
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translation), &size) &&
      size >= 2 * sizeof(WORD)) {
    std::swprintf(table, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  }
  const std::pair<const wchar_t*, const char*> kStrings[] = {
      {L"ProductName", EXPECTED_PRODUCT},
      {L"ProductVersion", EXPECTED_VERSION_QUAD},
      {L"FileVersion", EXPECTED_VERSION_QUAD},
      {L"CompanyName", EXPECTED_PUBLISHER},
      {L"LegalCopyright", EXPECTED_COPYRIGHT}};
  for (const auto& [name, expected] : kStrings) {
    const std::wstring path = table + std::wstring(name);
    wchar_t* value = nullptr;
    UINT length = 0;
    const bool found =
        VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) &&
        length > 0;
    Expect(file, name, found ? std::wstring(value, length - 1) : L"(missing)", expected);
  }
}

// The manifest's assembly identity carries the version too.
void CheckManifestVersion(const wchar_t* file) {
  HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC resource = module ? FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const std::string manifest = loaded ? std::string(static_cast<const char*>(LockResource(loaded)),
                                                    SizeofResource(module, resource))
                                      : std::string();
  if (module) FreeLibrary(module);
  const std::string identity = "name=\"Scrollwick.Companion\" version=\"";
  const size_t start = manifest.find(identity);
  const std::string version =
      start == std::string::npos
          ? "(missing)"
          : manifest.substr(start + identity.size(),
                            manifest.find('"', start + identity.size()) - start - identity.size());
  Expect(file, L"the manifest's version", std::wstring(version.begin(), version.end()),
         EXPECTED_VERSION_QUAD);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  CheckVersionResource(argv[1]);
  CheckManifestVersion(argv[1]);
  CheckVersionResource(argv[2]);
  return failures == 0 ? 0 : 1;
}
