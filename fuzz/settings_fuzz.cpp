// Any bytes as zol.ini, read in each program's form: the read fails with zol::Error, or what it
// gives, written back, is exactly ten lines ended by CR LF, alone in its folder, that read again
// as the same settings.
#include <cmath>
#include <regex>

#include "error.h"
#include "fuzz_support.h"
#include "settings.h"

// The text of lines 1-8 that a save keeps: the value of a line written as key text and value,
// else the line without leading blanks, which reading drops (a quoted field may begin with some).
std::vector<std::string> Kept(const zol::Settings& s, zol::SettingsForm form) {
  const auto value = [](std::string line) { return line.erase(0, line.find('=') + 1); };
  const auto whole = [](std::string line) { return line.erase(0, line.find_first_not_of(" \t")); };
  const auto name = form == zol::SettingsForm::QuickSwitcher ? +value : +whole;
  return {value(s.SystemIniDrive), value(s.SystemIniDir),          value(s.FavouriteDrive),
          value(s.FavouriteDir),   whole(s.ControlPanelDriveLine), whole(s.ControlPanelDirLine),
          name(s.FavouriteName),   name(s.AlternateName)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = scratch.path + "/zol.ini";
  for (const auto form : {zol::SettingsForm::Configurator, zol::SettingsForm::QuickSwitcher}) {
    WriteBytes(file, {reinterpret_cast<const char*>(data), size});
    bool readable = false;
    try {
      const zol::Settings read = zol::ReadSettings(file, form);
      readable = true;
      zol::WriteSettings(file, read, form, read.WindowTop, read.WindowLeft);
      static const std::regex tenLines("([^\r\n]*\r\n){10}");
      Check(std::regex_match(ReadBytes(file), tenLines), "a save writes ten CR LF lines");
      Check(ScratchNames() == std::vector<std::string>{"zol.ini"}, "a save leaves no other file");
      const zol::Settings again = zol::ReadSettings(file, form);
      // A position is written with seven significant digits.
      const auto same = [](float a, float b) { return std::fabs(a - b) <= std::fabs(b) * 1e-6f; };
      Check(Kept(again, form) == Kept(read, form) && same(again.WindowTop, read.WindowTop) &&
                same(again.WindowLeft, read.WindowLeft),
            "a save keeps the text of lines 1-8 and the window position");
    } catch (const zol::Error&) {
      Check(!readable, "what was read saves and reads again");
    }
  }
  return 0;
}
