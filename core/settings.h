// "zol.ini", the settings file that both programs share: ten lines in code page 932.
//
//   1  System.iniのあるドライブ =<drive of system.ini>
//   2  system.iniのあるディレクトリ=<directory of system.ini>
//   3  お気に入りのスクリーンセイバーのあるドライブ =<drive of the favourite>
//   4  お気に入りのスクリーンセイバーのあるディレクトリ=<directory of the favourite>
//   5  <any key>=<drive of control.exe>
//   6  <any key>=<directory of control.exe>
//   7  お気に入りのスクリーンセイバー名 =<file name of the favourite>
//   8  代替えのスクリーンセイバー名 =<file name of the alternate>
//   9  <window top in twips>
//  10  <window left in twips>
#pragma once

#include <string>
#include <string_view>

#include "textfile.h"

namespace zol {

// Each text field is its line as read (leading blanks dropped), in the file's own bytes, so that
// every line goes back to the file exactly as it came; the programs take the value of a keyed
// line with ValueAfterEquals. The window position is in twips.
struct Settings {
  std::string SystemIniDrive;
  std::string SystemIniDir;
  std::string FavouriteDrive;
  std::string FavouriteDir;
  std::string ControlPanelDriveLine;
  std::string ControlPanelDirLine;
  std::string FavouriteName;
  std::string AlternateName;
  float WindowTop = 0;
  float WindowLeft = 0;
};

// The key texts that an installation writes on lines 5 and 6; the programs carry whatever key
// these lines have.
inline constexpr std::wstring_view kControlPanelDriveKey = L"コントロールパネルのあるドライブ=";
inline constexpr std::wstring_view kControlPanelDirKey = L"コントロールパネルのあるディレクトリ=";

// The two programs read and write the file in their own forms: the configurator refuses a
// position that is no number and writes it as plain text ("1234"); the quick switcher reads such
// a position as 0 and writes the number in print form (" 1234 "). Each reads what the other wrote.
enum class SettingsForm { Configurator, QuickSwitcher };

Settings ReadSettings(const Path& file, SettingsForm form);

// Rewrites the whole file with the window position given. Lines 1 to 4 are written as their key
// text and value, lines 5 and 6 as read; lines 7 and 8 as read by the configurator and as key
// text and value by the quick switcher.
void WriteSettings(const Path& file, const Settings& settings, SettingsForm form, float windowTop,
                   float windowLeft);

// The text after the first "=", or the whole line when it holds none. "=" never occurs inside a
// double-byte character of code page 932, so this works on the file's bytes as well as on text.
std::string_view ValueAfterEquals(std::string_view line);
std::wstring_view ValueAfterEquals(std::wstring_view line);

// The value of line 1, the value of line 2 and "system.ini", joined with no separator.
Path SystemIniPath(const Settings& settings);

// The value of line 5, the value of line 6 and "control.exe", joined with no separator.
std::wstring ControlPanelCommand(const Settings& settings);

// The value of a keyed line, decoded.
std::wstring ValueText(std::string_view line);

}  // namespace zol
