#include "cp932.h"

namespace zol {
namespace {

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0; }

}  // namespace

std::wstring FromCp932(std::string_view bytes) {
  if (auto text = DecodeCp932Strict(bytes)) return *text;
  std::wstring text;
  for (size_t i = 0; i < bytes.size();) {
    const size_t length = IsLeadByte(bytes[i]) && i + 1 < bytes.size() ? 2 : 1;
    const auto unit = DecodeCp932Strict(bytes.substr(i, length));
    text += unit ? *unit : L"\uFFFD";
    i += length;
  }
  return text;
}

}  // namespace zol
