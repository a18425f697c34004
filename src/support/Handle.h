#pragma once
// One move-only owner for every kind of system handle; the close function is a
// trait, so a handle can never be closed twice or leak on an error path.

#include <windows.h>

#include <utility>

template <class Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Type value) noexcept : value_(value) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other)
      Reset(other.Release());
    return *this;
  }

  Type Get() const noexcept { return value_; }
  bool Valid() const noexcept { return value_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return Valid(); }

  Type Release() noexcept { return std::exchange(value_, Traits::Invalid()); }
  void Reset(Type value = Traits::Invalid()) noexcept {
    Type old = std::exchange(value_, value);
    if (old != Traits::Invalid())
      Traits::Close(old);
  }
  // For APIs that return a handle through an out parameter.
  Type* Put() noexcept {
    Reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Invalid();
};

// Traits for a handle of type T that `CloseFunction` closes. Most kinds are null
// when absent; files and find handles use INVALID_HANDLE_VALUE instead.
template <class T, auto CloseFunction, bool kInvalidIsMinusOne = false>
struct CloseWithTraits {
  using Type = T;
  static Type Invalid() noexcept {
    if constexpr (kInvalidIsMinusOne)
      return INVALID_HANDLE_VALUE;
    else
      return nullptr;
  }
  static void Close(Type h) noexcept { CloseFunction(h); }
};

using FileHandle = UniqueHandle<CloseWithTraits<HANDLE, &CloseHandle, true>>;
using FindHandle = UniqueHandle<CloseWithTraits<HANDLE, &FindClose, true>>;
using KernelHandle = UniqueHandle<CloseWithTraits<HANDLE, &CloseHandle>>;  // processes, events
using RegKey = UniqueHandle<CloseWithTraits<HKEY, &RegCloseKey>>;
using ModuleHandle = UniqueHandle<CloseWithTraits<HMODULE, &FreeLibrary>>;
template <class T>
using GdiObject = UniqueHandle<CloseWithTraits<T, &DeleteObject>>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;
using BitmapHandle = GdiObject<HBITMAP>;
// CreateCompatibleDC's; a window's own DC needs its window (WindowDc).
using MemoryDc = UniqueHandle<CloseWithTraits<HDC, &DeleteDC>>;
// Blocks the system allocates for its caller (CommandLineToArgvW).
template <class T>
using LocalMemory = UniqueHandle<CloseWithTraits<T, &LocalFree>>;

// A small owning COM pointer.
template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }

  T* Get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }
  T** Put() noexcept {
    Reset();
    return &ptr_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
  void Reset() noexcept {
    if (ptr_)
      std::exchange(ptr_, nullptr)->Release();
  }

 private:
  T* ptr_ = nullptr;
};
