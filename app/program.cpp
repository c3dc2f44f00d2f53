#include "program.h"

#include <cmath>

#include "platform.h"

namespace app {

void ProgramSettings::Load() {
  values_ = zol::ReadSettings(file_, form_);
  systemIni_ = zol::SystemIniPath(values_);
}

void ProgramSettings::Load(forms::Form& window) {
  Load();
  window.SetTop(std::lround(values_.WindowTop));
  window.SetLeft(std::lround(values_.WindowLeft));
}

void ProgramSettings::Save(const forms::Form& window) const {
  zol::WriteSettings(file_, values_, form_, static_cast<float>(window.Top()),
                     static_cast<float>(window.Left()));
}

zol::RewriteResult ProgramSettings::ChangeScreenSaver(std::wstring_view newEntryValue) const {
  const zol::RewriteResult result =
      zol::RewriteEntry(systemIni_, newEntryValue, zol::CheckScreenSaverPolicy);
  zol::SetWindowsScreenSaver(zol::WrittenEntryValue(newEntryValue, result));
  return result;
}

void ProgramSettings::SaveAfterChange(const forms::Form& window) const {
  try {
    Save(window);
  } catch (const zol::Error& error) {
    throw error.AfterEntryChanged();
  }
}

}  // namespace app
