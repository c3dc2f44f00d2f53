#include "program.h"

#include <cmath>

namespace forms {

void ProgramSettings::Load(Form& window) {
  values_ = zol::ReadSettings(file_, form_);
  window.SetTop(std::lround(values_.WindowTop));
  window.SetLeft(std::lround(values_.WindowLeft));
  systemIni_ = zol::SystemIniPath(values_);
}

void ProgramSettings::Save(const Form& window) const {
  zol::WriteSettings(file_, values_, form_, static_cast<float>(window.Top()),
                     static_cast<float>(window.Left()));
}

zol::RewriteResult ProgramSettings::ChangeScreenSaver(std::wstring_view newEntryValue,
                                                      const Form& window, bool saveAfterInsert) {
  const zol::RewriteResult result = zol::RewriteEntry(systemIni_, newEntryValue);
  ShareScreenSaver(zol::WrittenEntryValue(newEntryValue, result));
  if (result == zol::RewriteResult::EntryReplaced || saveAfterInsert) {
    try {
      Save(window);
    } catch (const zol::Error& error) {
      throw error.AfterEntryChanged();
    }
  }
  return result;
}

}  // namespace forms
