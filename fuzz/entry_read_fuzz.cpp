// Any bytes as system.ini: reading the entry either gives a screen-saver path or "（なし）",
// finds none, or fails with zol::Error; anything else thrown ends the run.
#include <cstdint>

#include "entry.h"
#include "error.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path systemIni = zol::fuzz::ScratchFolder() / "system.ini";
  zol::fuzz::WriteBytes(systemIni, {reinterpret_cast<const char*>(data), size});
  try {
    const std::optional<std::wstring> entry = zol::ReadCurrentEntry(systemIni);
    zol::fuzz::Check(
        !entry || *entry == zol::kNoScreenSaver || zol::fuzz::HoldsNoCase(*entry, L"scr"),
        "the entry read names a screen saver or is \"（なし）\"");
  } catch (const zol::Error&) {
  }
  return 0;
}
