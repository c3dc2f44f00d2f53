// Any bytes as zol.ini, read in each program's form: the read fails with zol::Error, or what it
// gives, written back, is exactly ten lines ended by CR LF, alone in its folder, that read again
// as the same settings.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

#include "error.h"
#include "fuzz_support.h"
#include "settings.h"

namespace {
using zol::Settings;
using zol::SettingsForm;
using zol::fuzz::Check;

std::optional<Settings> Read(const std::filesystem::path& file, SettingsForm form) {
  try {
    return zol::ReadSettings(file, form);
  } catch (const zol::Error&) {
    return std::nullopt;
  }
}

// The text of the eight text lines that a save keeps: a line written as key text and value keeps
// its value; any other line keeps its text apart from leading blanks, which reading drops, so a
// quoted field that begins with blanks loses them.
std::array<std::string_view, 8> KeptText(const Settings& settings, SettingsForm form) {
  const auto value = [](const std::string& line) { return zol::ValueAfterEquals(line); };
  const auto whole = [](std::string_view line) {
    return line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
  };
  const bool keyedNames = form == SettingsForm::QuickSwitcher;
  return {value(settings.SystemIniDrive),
          value(settings.SystemIniDir),
          value(settings.FavouriteDrive),
          value(settings.FavouriteDir),
          whole(settings.ControlPanelDriveLine),
          whole(settings.ControlPanelDirLine),
          keyedNames ? value(settings.FavouriteName) : whole(settings.FavouriteName),
          keyedNames ? value(settings.AlternateName) : whole(settings.AlternateName)};
}

bool TenCrLfLines(std::string_view bytes) {
  for (int line = 0; line < 10; ++line) {
    const size_t end = bytes.find_first_of("\r\n");
    if (end == bytes.npos || bytes.substr(end, 2) != "\r\n") return false;
    bytes.remove_prefix(end + 2);
  }
  return bytes.empty();
}

// A position is written with seven significant digits.
bool SamePosition(float again, float read) {
  return std::fabs(again - read) <= std::fabs(read) * 1e-6f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path file = zol::fuzz::ScratchFolder() / "zol.ini";
  for (const SettingsForm form : {SettingsForm::Configurator, SettingsForm::QuickSwitcher}) {
    zol::fuzz::WriteBytes(file, {reinterpret_cast<const char*>(data), size});
    const std::optional<Settings> read = Read(file, form);
    if (!read) continue;
    zol::WriteSettings(file, *read, form, read->WindowTop, read->WindowLeft);
    Check(TenCrLfLines(zol::fuzz::ReadBytes(file)), "a save writes ten lines, each ended by CR LF");
    Check(zol::fuzz::ScratchNames() == std::vector<std::string>{"zol.ini"},
          "a save leaves no other file in the folder");
    const std::optional<Settings> again = Read(file, form);
    Check(again.has_value(), "what a save wrote reads again");
    Check(KeptText(*again, form) == KeptText(*read, form), "a save keeps the text of lines 1-8");
    Check(SamePosition(again->WindowTop, read->WindowTop) &&
              SamePosition(again->WindowLeft, read->WindowLeft),
          "a save keeps the window position");
  }
  return 0;
}
