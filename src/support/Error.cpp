#include "support/Error.h"

#include <windows.h>

#include <new>

KovrinError::KovrinError(std::wstring message) : message_(std::move(message)) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, message_.data(), static_cast<int>(message_.size()),
                                  nullptr, 0, nullptr, nullptr);
  utf8_.resize(bytes > 0 ? bytes : 0);
  if (bytes > 0)
    WideCharToMultiByte(CP_UTF8, 0, message_.data(), static_cast<int>(message_.size()),
                        utf8_.data(), bytes, nullptr, nullptr);
}

std::wstring SystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (length && buffer) {
    text.assign(buffer, length);
    LocalFree(buffer);
  }
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  if (text.empty())
    text = L"System error " + std::to_wstring(code) + L".";
  return text;
}

std::wstring SystemErrorMessage(const std::wstring& what, unsigned long code) {
  return what + L". " + SystemErrorText(code);
}

void RaiseFailure(Failure failure) {
  if (failure.Is(FailureKind::Stopped))
    Raise(OperationCancelled(failure.Message()));
  Raise(KovrinError(failure.Message()));
}

Failure SystemFailure(const std::wstring& what, unsigned long code) {
  return Failure(SystemErrorMessage(what, code));
}

Failure LastErrorFailure(const std::wstring& what) {
  return SystemFailure(what, GetLastError());
}

void ThrowSystemError(const std::wstring& what, unsigned long code) {
  Raise(KovrinError(SystemErrorMessage(what, code)));
}

void ThrowLastError(const std::wstring& what) {
  ThrowSystemError(what, GetLastError());
}

std::wstring CannotOpenMessage(const std::wstring& path) {
  const DWORD code = GetLastError();
  return SystemErrorMessage(L"Cannot open file \"" + path + L"\"", code);
}

void ThrowCannotOpen(const std::wstring& path) {
  Raise(KovrinError(CannotOpenMessage(path)));
}

std::wstring CannotCreateMessage(const std::wstring& path) {
  const DWORD code = GetLastError();
  return SystemErrorMessage(L"Cannot create file \"" + path + L"\"", code);
}

void ThrowCannotCreate(const std::wstring& path) {
  Raise(KovrinError(CannotCreateMessage(path)));
}

#if __cpp_exceptions
std::wstring CurrentExceptionMessage() {
  try {
    throw;
  } catch (const KovrinError& error) {
    return error.Message();
  } catch (const std::bad_alloc&) {
    return L"Out of memory";
  } catch (const std::exception& error) {
    // what() is UTF-8 for the kit's own errors and plain ASCII for the library's.
    const std::string what = error.what();
    const int size = static_cast<int>(what.size());
    std::wstring text(static_cast<size_t>(size), L'\0');
    text.resize(
        static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, what.data(), size, text.data(), size)));
    return text;
  } catch (...) {
    return L"Unknown error";
  }
}
#endif
