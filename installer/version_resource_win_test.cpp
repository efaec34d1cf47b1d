// Reads back what Windows shows in a file's properties and checks it against the version and
// names CMake holds (compiled in as definitions).
//
//   version_resource_test PROGRAM SETUP
//
// Both files must carry the product name, publisher and version; the program must also carry the
// same version in its manifest. Prints each mismatch and exits 1 if there is any.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Expect(const wchar_t* file, const wchar_t* what, const std::wstring& actual,
            const std::wstring& expected) {
  if (actual == expected) return;
  std::fwprintf(stderr, L"%ls: %ls is \"%ls\", expected \"%ls\"\n", file, what, actual.c_str(),
                expected.c_str());
  ++failures;
}

std::wstring Widen(const char* text) {
  return std::wstring(text, text + std::char_traits<char>::length(text));
}

std::wstring QueryString(const std::vector<BYTE>& block, const wchar_t* name) {
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &size) ||
      size < sizeof(Translation)) {
    return L"(no translation)";
  }
  wchar_t key[128];
  std::swprintf(key, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
                translation->codePage, name);
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&value), &length)) {
    return L"(missing)";
  }
  return std::wstring(value, length > 0 ? length - 1 : 0);
}

void CheckVersionResource(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !GetFileVersionInfoW(file, 0, size, block.data())) {
    Expect(file, L"the version resource", L"(missing)", L"present");
    return;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    Expect(file, L"the fixed file information", L"(missing)", L"present");
    return;
  }
  wchar_t numbers[64];
  std::swprintf(numbers, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
  Expect(file, L"the file version number", numbers, Widen(EXPECTED_VERSION_QUAD));
  std::swprintf(numbers, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwProductVersionMS),
                LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                LOWORD(fixed->dwProductVersionLS));
  Expect(file, L"the product version number", numbers, Widen(EXPECTED_VERSION_QUAD));
  Expect(file, L"FileVersion", QueryString(block, L"FileVersion"), Widen(EXPECTED_VERSION_QUAD));
  Expect(file, L"ProductVersion", QueryString(block, L"ProductVersion"),
         Widen(EXPECTED_VERSION_QUAD));
  Expect(file, L"ProductName", QueryString(block, L"ProductName"), Widen(EXPECTED_PRODUCT));
  Expect(file, L"CompanyName", QueryString(block, L"CompanyName"), Widen(EXPECTED_PUBLISHER));
  Expect(file, L"LegalCopyright", QueryString(block, L"LegalCopyright"), Widen(EXPECTED_COPYRIGHT));
}

// The manifest's assembly identity, which Windows reads for side-by-side loading.
void CheckManifestVersion(const wchar_t* file) {
  HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC resource = module ? FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  const std::string manifest =
      bytes ? std::string(bytes, SizeofResource(module, resource)) : std::string();
  if (module) FreeLibrary(module);
  const std::string identity = "name=\"Scrollwick.Companion\" version=\"";
  const size_t at = manifest.find(identity);
  const size_t start = at == std::string::npos ? at : at + identity.size();
  const size_t end = at == std::string::npos ? at : manifest.find('"', start);
  Expect(
      file, L"the manifest's assembly version",
      end == std::string::npos ? L"(missing)" : Widen(manifest.substr(start, end - start).c_str()),
      Widen(EXPECTED_VERSION_QUAD));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fwprintf(stderr, L"usage: version_resource_test PROGRAM SETUP\n");
    return 2;
  }
  CheckVersionResource(argv[1]);
  CheckManifestVersion(argv[1]);
  CheckVersionResource(argv[2]);
  if (failures == 0) std::wprintf(L"version resources: %hs everywhere\n", EXPECTED_VERSION_QUAD);
  return failures == 0 ? 0 : 1;
}
