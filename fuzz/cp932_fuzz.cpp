// Code page 932 on any bytes. Decoding for reading never loses or invents an ASCII byte: each
// one appears, in order, unless it is the trail byte of a double-byte character (lead bytes
// 0x81-0x9F and 0xE0-0xFC). Text that the strict decoder accepts encodes again, and the bytes
// that come back decode to the same text: some double-byte codes have a twin that the encoder
// prefers, so the bytes themselves may differ.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "cp932.h"
#include "fuzz_support.h"

namespace {
using zol::fuzz::Check;

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::wstring KeptAscii(std::string_view bytes) {
  std::wstring ascii;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (IsLeadByte(bytes[i]) && i + 1 < bytes.size() &&
        zol::DecodeCp932Strict(bytes.substr(i, 2))) {
      ++i;
    } else if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ascii += static_cast<wchar_t>(bytes[i]);
    }
  }
  return ascii;
}

std::wstring Ascii(std::wstring_view text) {
  std::wstring ascii;
  std::copy_if(text.begin(), text.end(), std::back_inserter(ascii),
               [](wchar_t c) { return static_cast<unsigned>(c) < 0x80; });
  return ascii;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring read = zol::FromCp932(bytes);
  Check(Ascii(read) == KeptAscii(bytes), "decoding keeps every ASCII byte that is no trail byte");

  const std::optional<std::wstring> text = zol::DecodeCp932Strict(bytes);
  if (!text) return 0;
  Check(read == *text, "decoding for reading agrees with the strict decoder on valid bytes");
  const std::optional<std::string> encoded = zol::EncodeCp932Strict(*text);
  Check(encoded.has_value(), "decoded text encodes again");
  Check(zol::DecodeCp932Strict(*encoded) == text, "encoded text decodes to the same text");
  return 0;
}
