#include "cp932.h"

namespace zol {
namespace {

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

std::wstring FromCp932(std::string_view bytes) {
  if (auto text = DecodeCp932Strict(bytes)) return *text;
  std::wstring text;
  for (size_t i = 0; i < bytes.size();) {
    // A pair that does not decode stands for one byte, so the byte after it is read on its own.
    const auto pair = IsLeadByte(bytes[i]) && i + 1 < bytes.size()
                          ? DecodeCp932Strict(bytes.substr(i, 2))
                          : std::nullopt;
    const auto unit = pair ? pair : DecodeCp932Strict(bytes.substr(i, 1));
    text += unit ? *unit : L"\uFFFD";
    i += pair ? 2 : 1;
  }
  return text;
}

}  // namespace zol
