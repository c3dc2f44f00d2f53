// Code page 932 through glibc's iconv. "CP932" is the Windows table; "SHIFT_JIS" would map
// 0x5C and 0x7E to the yen sign and the overline.
#include <iconv.h>

#include <cerrno>
#include <memory>

#include "cp932.h"

namespace zol {
namespace {

struct IconvCloser {
  void operator()(iconv_t cd) const { iconv_close(cd); }
};
using UniqueIconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// Opening a descriptor costs more than most conversions: each direction keeps one, which a
// conversion resets to its initial state before it starts.
template <class Out, class In>
std::optional<Out> Convert(const UniqueIconv& cd, const In& input) {
  if (cd.get() == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  const size_t inBytes = input.size() * sizeof(input[0]);
  std::string buffer(inBytes * 4 + 16, '\0');
  char* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
  size_t inLeft = inBytes;
  char* out = buffer.data();
  size_t outLeft = buffer.size();
  if (iconv(cd.get(), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
  if (iconv(cd.get(), nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) {
    return std::nullopt;
  }
  const size_t written = buffer.size() - outLeft;
  using Unit = typename Out::value_type;
  return Out(reinterpret_cast<const Unit*>(buffer.data()), written / sizeof(Unit));
}

}  // namespace

std::optional<std::wstring> DecodeCp932Strict(std::string_view bytes) {
  static const UniqueIconv decoder(iconv_open("WCHAR_T", "CP932"));
  return Convert<std::wstring>(decoder, bytes);
}

std::optional<std::string> EncodeCp932Strict(std::wstring_view text) {
  static const UniqueIconv encoder(iconv_open("CP932", "WCHAR_T"));
  return Convert<std::string>(encoder, text);
}

}  // namespace zol
