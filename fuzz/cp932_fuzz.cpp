// Code page 932 on any bytes. Decoding for reading keeps every ASCII byte, in order, unless it is
// the trail byte of a double-byte character that decodes (lead bytes 0x81-0x9F and 0xE0-0xFC).
// On bytes that the strict decoder accepts it gives the same text, which encodes again to bytes
// that decode to that text: some double-byte codes have a twin that the encoder prefers, so the
// bytes themselves may differ.
#include "cp932.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::wstring kept;
  for (size_t i = 0, pair; i < size; i += 1 + pair) {
    const bool lead = (data[i] >= 0x81 && data[i] <= 0x9F) || (data[i] >= 0xE0 && data[i] <= 0xFC);
    pair = lead && i + 1 < size && zol::DecodeCp932Strict(bytes.substr(i, 2));
    if (!pair && data[i] < 0x80) kept += data[i];
  }
  std::wstring read = zol::FromCp932(bytes);
  if (const std::optional<std::wstring> text = zol::DecodeCp932Strict(bytes)) {
    Check(read == *text, "decoding for reading agrees with the strict decoder on valid bytes");
    const std::optional<std::string> encoded = zol::EncodeCp932Strict(*text);
    Check(encoded && zol::DecodeCp932Strict(*encoded) == text,
          "the text encodes and decodes again");
  }
  std::erase_if(read, [](wchar_t c) { return c >= 0x80; });
  Check(read == kept, "decoding keeps every ASCII byte that is no trail byte");
  return 0;
}
