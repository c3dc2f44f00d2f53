// Text on disk is code page 932 on every system; text in memory is Unicode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zol {

// The platform seam (Win32 on Windows, iconv elsewhere): whole conversions that fail on any
// byte sequence or character that code page 932 does not define.
std::optional<std::wstring> DecodeCp932Strict(std::string_view bytes);
std::optional<std::string> EncodeCp932Strict(std::wstring_view text);

// Decodes for reading and searching: a byte that code page 932 does not define becomes U+FFFD,
// so a search never matches the trail byte of a double-byte character and such text can never
// be written back as anything but its original bytes.
std::wstring FromCp932(std::string_view bytes);

}  // namespace zol
