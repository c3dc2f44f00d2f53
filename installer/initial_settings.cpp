#include "initial_settings.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "cp932.h"
#include "entry.h"
#include "error.h"
#include "settings.h"
#include "textfile.h"
#include "win32.h"

namespace zolinit {
namespace {

// Twips from the top left corner of the primary screen, which is where screen coordinates start.
constexpr float kWindowTop = 1440;
constexpr float kWindowLeft = 2160;

std::string Encoded(const std::wstring& text) {
  std::optional<std::string> bytes = zol::EncodeCp932Strict(text);
  if (!bytes) throw zol::Error(zol::ErrorKind::NotRepresentable, text);
  return *bytes;
}

// A value for a line that the settings writer gives its own key: after an "=", so that an "=" in
// the value stays part of it.
std::string Value(const std::wstring& text) {
  std::string line = "=";
  return line += Encoded(text);
}

// The path of a name in a folder; with an empty name, the folder's path ending in "\".
zol::Path In(const zol::Path& folder, std::wstring_view name) {
  zol::Path path = folder;
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path += name;
}

bool Exists(const zol::Path& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder as zol.ini names it: the drive ("C:"), and the directory from the root, beginning and
// ending in "\".
struct FolderParts {
  std::wstring drive, dir;
};

FolderParts Split(const zol::Path& folder) {
  const size_t root = std::min<size_t>(2, folder.size());
  return {folder.substr(0, root), In(folder.substr(root), L"")};
}

std::wstring CurrentScreenSaver(const Machine& machine) {
  if (machine.IsNtFamily()) return machine.ScreenSaverSetting();
  return zol::ReadCurrentEntry(In(machine.WindowsFolder(), L"system.ini")).value_or(L"");
}

struct Choice {
  std::wstring favourite, alternate;
};

Choice ChooseScreenSavers(const Machine& machine, const zol::Path& folder,
                          const std::wstring& current) {
  std::vector<std::wstring> names = machine.ScreenSaverFiles(folder);
  if (names.empty()) return {};
  std::sort(names.begin(), names.end(), zol::NameBefore);
  const auto found = std::find_if(names.begin(), names.end(), [&](const std::wstring& name) {
    return zol::SameName(In(folder, name), current);
  });
  const size_t favourite = found == names.end() ? 0 : found - names.begin();
  const size_t alternate = (favourite + 1) % names.size();
  return {names[favourite], alternate == favourite ? L"" : names[alternate]};
}

}  // namespace

std::vector<zol::Path> WriteInitialSettings(const zol::Path& folder, const Machine& machine) {
  const zol::Path zolIni = In(folder, L"zol.ini");
  if (Exists(zolIni)) return {};

  Encoded(folder);  // so that a folder code page 932 cannot hold is named whole
  const bool ntFamily = machine.IsNtFamily();
  const FolderParts systemIniFolder = Split(ntFamily ? folder : machine.WindowsFolder());
  const zol::Path systemFolder = machine.SystemFolder();
  const FolderParts system = Split(systemFolder);
  const std::wstring current = CurrentScreenSaver(machine);
  const Choice choice = ChooseScreenSavers(machine, systemFolder, current);

  zol::Settings settings;
  settings.SystemIniDrive = Value(systemIniFolder.drive);
  settings.SystemIniDir = Value(systemIniFolder.dir);
  settings.FavouriteDrive = Value(system.drive);
  settings.FavouriteDir = Value(system.dir);
  settings.ControlPanelDriveLine = Encoded(std::wstring(zol::kControlPanelDriveKey) + system.drive);
  settings.ControlPanelDirLine = Encoded(std::wstring(zol::kControlPanelDirKey) + system.dir);
  settings.FavouriteName = Value(choice.favourite);
  settings.AlternateName = Value(choice.alternate);
  const zol::Path systemIni = In(folder, L"system.ini");
  std::vector<std::string> systemIniLines;
  if (ntFamily && !Exists(systemIni)) {
    systemIniLines = {"[boot]", "*DisplayFallback=0", Encoded(L"SCRNSAVE.EXE=" + current)};
  }

  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    throw zol::Error(zol::ErrorKind::FolderRefuses, folder);
  }
  std::vector<zol::Path> written;
  if (!systemIniLines.empty()) {
    zol::ReplaceFileBytes(systemIni, zol::JoinLines(systemIniLines));
    written.push_back(systemIni);
  }
  zol::WriteSettings(zolIni, settings, zol::SettingsForm::QuickSwitcher, kWindowTop, kWindowLeft);
  written.push_back(zolIni);
  return written;
}

}  // namespace zolinit
