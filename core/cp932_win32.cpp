// Code page 932 through Win32. WC_NO_BEST_FIT_CHARS keeps WideCharToMultiByte from quietly
// turning characters it cannot hold into look-alikes (U+00A5 into 0x5C, for one):
// https://learn.microsoft.com/windows/win32/api/stringapiset/nf-stringapiset-widechartomultibyte
#include <windows.h>

#include "cp932.h"

namespace zol {
namespace {

constexpr UINT kCodePage = 932;

}  // namespace

std::optional<std::wstring> DecodeCp932Strict(std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring text(length, L'\0');
  MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), length);
  return text;
}

std::optional<std::string> EncodeCp932Strict(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                         nullptr, 0, nullptr, &usedDefault);
  if (length == 0 || usedDefault) return std::nullopt;
  std::string bytes(length, '\0');
  WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), length,
                      nullptr, &usedDefault);
  return bytes;
}

}  // namespace zol
