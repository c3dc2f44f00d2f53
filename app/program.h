// What the two programs share around their windows: the settings of zol.ini with the path of
// system.ini that they name, the change of the screen saver that both make, and the entry point.
#pragma once

#include "entry.h"
#include "forms.h"
#include "settings.h"

namespace app {

// The grey of both windows.
inline constexpr COLORREF kGrey = RGB(0xC0, 0xC0, 0xC0);

class ProgramSettings {
 public:
  // The settings file is "zol.ini" in the working directory; tests give their own.
  ProgramSettings(zol::Path file, zol::SettingsForm form) : file_(std::move(file)), form_(form) {}

  // Reads zol.ini and composes the path of system.ini.
  void Load();
  // The same, and places the window at the position that zol.ini stores.
  void Load(forms::Form& window);
  // Saves zol.ini with the window's position now.
  void Save(const forms::Form& window) const;
  // Makes the value the screen saver: rewrites system.ini and, on the NT family, the registry,
  // unless the administrator's policy would make the choice of no effect.
  zol::RewriteResult ChangeScreenSaver(std::wstring_view newEntryValue) const;
  // Saves zol.ini after a change of the screen saver; a save that fails says that the screen
  // saver was changed all the same.
  void SaveAfterChange(const forms::Form& window) const;

  const zol::Settings& Values() const { return values_; }
  const zol::Path& SystemIni() const { return systemIni_; }

 private:
  zol::Path file_;
  zol::SettingsForm form_;
  zol::Settings values_;
  zol::Path systemIni_;
};

// The entry point of a program whose window is of the type given. A window that cannot be made
// is reported as any other failure.
template <class Window>
int RunProgram() {
  SetErrorMode(SEM_FAILCRITICALERRORS);  // a drive without a medium is an error, not a dialog
  try {
    Window window;
    return window.form.Run();
  } catch (const zol::Error& error) {
    forms::ShowError(nullptr, Window::kCaption, error);
    return 1;
  }
}

}  // namespace app
