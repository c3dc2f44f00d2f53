#include "program.h"

#include <cmath>

#include "platform.h"
#include "session.h"

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

// Decided on the file's bytes, refused by the policy before anything is written, then written
// whole: system.ini first, then the registry value that the NT family reads in its place. While the
// session is paused, its screen saver stays off until the pause ends.
zol::RewriteResult ProgramSettings::ChangeScreenSaver(std::wstring_view newEntryValue) const {
  const zol::RewritePlan plan = zol::PlanRewrite(zol::ReadFileBytes(systemIni_), newEntryValue);
  if (plan.refusal) {
    throw zol::Error(*plan.refusal, zol::FullPath(systemIni_),
                     plan.line ? zol::LineDetail(plan.line) : L"");
  }
  zol::CheckScreenSaverPolicy(plan.value);
  zol::ReplaceFileBytes(systemIni_, plan.bytes);
  zol::SetWindowsScreenSaver(plan.value, PauseLock::SessionPaused());
  return plan.result;
}

void ProgramSettings::SaveAfterChange(const forms::Form& window) const {
  try {
    Save(window);
  } catch (const zol::Error& error) {
    throw error.AfterEntryChanged();
  }
}

}  // namespace app
