// The "zol.ini" that an installation needs, made for the machine it is installed on: where its
// system.ini, its screen savers and its control panel are, and which screen savers to offer.
#pragma once

#include <string>
#include <vector>

#include "textfile.h"

namespace zolinit {

// What the writer asks of the machine; tests answer with folders of their own.
class Machine {
 public:
  virtual ~Machine() = default;
  virtual bool IsNtFamily() const = 0;
  virtual zol::Path WindowsFolder() const = 0;
  // Where Windows keeps its screen savers and control.exe.
  virtual zol::Path SystemFolder() const = 0;
  // HKCU\Control Panel\Desktop\SCRNSAVE.EXE, where the NT family keeps its screen saver; empty
  // when there is none.
  virtual std::wstring ScreenSaverSetting() const = 0;
  // The names of the screen savers in a folder, in any order.
  virtual std::vector<std::wstring> ScreenSaverFiles(const zol::Path& folder) const = 0;
};

// The machine this runs on, through Win32.
class ThisMachine : public Machine {
 public:
  bool IsNtFamily() const override;
  zol::Path WindowsFolder() const override;
  zol::Path SystemFolder() const override;
  std::wstring ScreenSaverSetting() const override;
  std::vector<std::wstring> ScreenSaverFiles(const zol::Path& folder) const override;
};

// Writes "zol.ini" into the folder (a full path; made when missing, its parent must be there)
// unless one is there already:
//   lines 1-2  the system.ini to rewrite: on the 9x family Windows' own; on the NT family, where
//              Windows keeps its screen saver in the registry and its folder is not the user's
//              to write, one in the folder itself, written now from the registry setting
//              (an existing one is kept);
//   lines 3-6  the system folder, for the screen savers and for control.exe;
//   lines 7-8  the favourite: the current screen saver when it is one of the system folder's,
//              else the first there in name order; the alternate: the next one in name order
//              (after the last, the first), none when there is only one;
//   lines 9-10 a place near the top left corner of the primary screen.
// Returns the files written, none when zol.ini was there. A path or name that code page 932
// cannot hold throws NotRepresentable before anything is written.
std::vector<zol::Path> WriteInitialSettings(const zol::Path& folder, const Machine& machine);

}  // namespace zolinit
