#pragma once
// One owner for each kind of Windows resource the program holds, so that release code is written
// once: each owner releases what it holds exactly once, when it goes out of scope, and locals
// declared in acquisition order release in reverse.
#include <windows.h>
#include <objbase.h>
#include <winhttp.h>

#include <utility>

namespace companion {

// Holds one handle of the kind `Traits` describes: `Traits::Invalid()` is the value that owns
// nothing, `Traits::Close(h)` releases a valid one.
template <typename Traits>
class Owned {
 public:
  using Handle = decltype(Traits::Invalid());

  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { Reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(other.Release()) {}
  Owned& operator=(Owned&& other) noexcept {
    Reset(other.Release());
    return *this;
  }

  Handle Get() const { return handle_; }
  bool Valid() const { return handle_ != Traits::Invalid(); }
  // Gives the handle up without releasing it (someone else took it over).
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Handle handle = Traits::Invalid()) {
    if (Valid()) Traits::Close(handle_);
    handle_ = handle;
  }
  // For an API that returns the handle through an out-parameter; releases any held before.
  Handle* Put() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { FindClose(h); }
};
struct GlobalMemoryTraits {
  static HGLOBAL Invalid() { return nullptr; }
  static void Close(HGLOBAL h) { GlobalFree(h); }
};
struct CoTaskTextTraits {
  static PWSTR Invalid() { return nullptr; }
  static void Close(PWSTR p) { CoTaskMemFree(p); }
};
struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU h) { DestroyMenu(h); }
};
struct WinHttpTraits {
  static HINTERNET Invalid() { return nullptr; }
  static void Close(HINTERNET h) { WinHttpCloseHandle(h); }
};
struct RegistryKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { RegCloseKey(h); }
};

using KernelHandle = Owned<KernelHandleTraits>;  // mutexes, processes, threads
using FileHandle = Owned<FileHandleTraits>;      // CreateFileW
using FindHandle = Owned<FindHandleTraits>;      // FindFirstFileExW
using GlobalMemory = Owned<GlobalMemoryTraits>;  // GlobalAlloc
using CoTaskText = Owned<CoTaskTextTraits>;      // text the shell allocates for the caller
using GdiObject = Owned<GdiObjectTraits>;        // bitmaps, brushes, fonts
using MenuHandle = Owned<MenuTraits>;            // CreatePopupMenu
using WinHttpHandle = Owned<WinHttpTraits>;      // session, connection, request
using RegistryKey = Owned<RegistryKeyTraits>;    // RegOpenKeyExW, RegCreateKeyExW

// One reference to a COM interface, released when the owner goes; `p` is handed to the calls that
// fill it (`&owner.p`) and used for calls on it.
template <typename Interface>
struct ComInterface {
  Interface* p = nullptr;
  ComInterface() = default;
  ComInterface(const ComInterface&) = delete;
  ComInterface& operator=(const ComInterface&) = delete;
  ~ComInterface() {
    if (p) p->Release();
  }
};

// The single-instance mutex while this process owns it: released, then closed.
class OwnedMutex {
 public:
  OwnedMutex() = default;
  explicit OwnedMutex(HANDLE mutex) : mutex_(mutex) {}
  ~OwnedMutex() {
    if (mutex_.Valid()) ReleaseMutex(mutex_.Get());
  }
  OwnedMutex(OwnedMutex&&) noexcept = default;
  OwnedMutex& operator=(OwnedMutex&& other) noexcept {
    if (mutex_.Valid()) ReleaseMutex(mutex_.Get());
    mutex_ = std::move(other.mutex_);
    return *this;
  }

 private:
  KernelHandle mutex_;
};

// This thread's single-threaded COM apartment, entered for as long as the owner lives.
class ComApartment {
 public:
  ComApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (entered_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool entered_;
};

}  // namespace companion
