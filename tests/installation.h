// A scratch installation for the programs' tests: zol.ini, WINDOWS\system.ini and a folder of
// screen savers holding 星空.scr and 迷路.scr, all inside a scratch folder, which zol.ini names as
// the control panel's. Windows only.
#pragma once

#include <windows.h>

#include "scratch.h"

namespace zol::test {

// The ten lines of zol.ini as text.
struct ZolLines {
  std::wstring systemIniDrive, systemIniDir, favouriteDrive, favouriteDir;
  std::wstring panelDriveLine, panelDirLine, favouriteName, alternateName, top, left;
};

// The bytes of a zol.ini with these lines, in code page 932.
std::string ZolIniBytes(const ZolLines& lines);

struct Installation {
  Installation();

  ZolLines lines;
  ScratchFolder folder;
  std::filesystem::path zolIni = folder / "zol.ini";
  std::filesystem::path systemIni = folder / "WINDOWS" / "system.ini";
  std::filesystem::path savers = folder / L"セイバー";

  void WriteZolIni() const { WriteBytes(zolIni, ZolIniBytes(lines)); }
  // "\...\" of a folder of the scratch installation, as zol.ini names it.
  static std::wstring DirOf(const std::filesystem::path& folder);
};

// Posts the mouse messages of a left click in the middle of the form's button with this caption,
// as the mouse of a user produces them.
void PostClick(HWND form, const wchar_t* button);

}  // namespace zol::test
