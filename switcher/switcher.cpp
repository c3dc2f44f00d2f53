#include "switcher.h"

#include <functional>
#include <optional>

#include "platform.h"
#include "resident.h"

namespace zolswap {

Form1::Form1(zol::Path settingsFile)
    : settings_(std::move(settingsFile), zol::SettingsForm::QuickSwitcher) {
  form.Load = [this] { Form_Load(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
}

void Form1::Form_Load() {
  settings_.Load(form);
  zol::ReadCurrentEntry(settings_.SystemIni());  // only to stop here when system.ini is missing
  Command1.SetCaption(zol::ValueText(settings_.Values().FavouriteName) + L" に変更");
  Command3.SetCaption(zol::ValueText(settings_.Values().AlternateName) + L" に変更");
}

void Form1::Command1_Click() { SwitchTo(Choice::Favourite); }

void Form1::Command2_Click() { SwitchTo(Choice::None); }

void Form1::Command3_Click() { SwitchTo(Choice::Alternate); }

void Form1::Command4_Click() {
  forms::Launch(zol::ControlPanelCommand(settings_.Values()));
  settings_.Save(form);
  forms::EndProgram();
}

// An inserted entry is not saved: the switcher keeps zol.ini as it was until an entry exists.
void Form1::SwitchTo(Choice choice) {
  if (settings_.ChangeScreenSaver(SwitchValue(settings_.Values(), choice)) ==
      zol::RewriteResult::EntryReplaced) {
    settings_.SaveAfterChange(form);
  }
  forms::EndProgram();
}

std::wstring SwitchValue(const zol::Settings& values, Choice choice) {
  const std::wstring name = choice == Choice::Favourite   ? zol::ValueText(values.FavouriteName)
                            : choice == Choice::Alternate ? zol::ValueText(values.AlternateName)
                                                          : std::wstring(zol::kNoScreenSaverFile);
  return zol::ValueText(values.FavouriteDrive) + zol::ValueText(values.FavouriteDir) + name;
}

void SwitchWithoutWindow(const zol::Path& settingsFile, Choice choice) {
  app::ProgramSettings settings(settingsFile, zol::SettingsForm::QuickSwitcher);
  settings.Load();
  zol::ReadCurrentEntry(settings.SystemIni());  // as at start-up: system.ini must be there
  settings.ChangeScreenSaver(SwitchValue(settings.Values(), choice));
}

void ControlPanelWithoutWindow(const zol::Path& settingsFile) {
  app::ProgramSettings settings(settingsFile, zol::SettingsForm::QuickSwitcher);
  settings.Load();
  forms::Launch(zol::ControlPanelCommand(settings.Values()));
}

namespace {

// Whether the argument is the switch of that name: "/" or "-" and the name in any letter case.
bool IsSwitch(const std::wstring& argument, const wchar_t* name) {
  return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-') &&
         _wcsicmp(argument.c_str() + 1, name) == 0;
}

// A whole number from 1 to the largest given, digits only.
std::optional<int> Number(const std::wstring& text, int largest) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of(L"0123456789") != text.npos) {
    return std::nullopt;
  }
  const int number = std::stoi(text);
  return number >= 1 && number <= largest ? std::optional(number) : std::nullopt;
}

// What the arguments ask for, as a step that gives the exit code; nothing for a wrong command line.
std::function<int()> Command(const std::vector<std::wstring>& arguments,
                             const zol::Path& settingsFile) {
  const size_t count = arguments.size();
  const std::wstring second = count > 1 ? arguments[1] : L"";
  const std::pair<const wchar_t*, Choice> switches[] = {{L"favourite", Choice::Favourite},
                                                        {L"none", Choice::None},
                                                        {L"alternate", Choice::Alternate}};
  for (const auto& [name, choice] : switches) {
    if (count != 1 || !IsSwitch(arguments[0], name)) continue;
    return [&settingsFile, choice] { return SwitchWithoutWindow(settingsFile, choice), 0; };
  }
  if (count == 1 && IsSwitch(arguments[0], L"?")) {
    return
        [] { return MessageBoxW(nullptr, kUsage, Form1::kCaption, MB_OK | MB_ICONINFORMATION), 0; };
  }
  if (count == 1 && IsSwitch(arguments[0], L"resume")) {
    return [] { return Resident::ResumeFromCommandLine(), 0; };
  }
  if (count == 1 && IsSwitch(arguments[0], L"tray")) {
    return [&settingsFile] { return Resident::TrayFromCommandLine(settingsFile); };
  }
  const std::optional<int> wait = Number(second, 9999);
  if (count == 2 && IsSwitch(arguments[0], L"wait") && wait) {
    return [wait] { return zol::SetScreenSaverWait(*wait * 60), 0; };
  }
  const bool on = _wcsicmp(second.c_str(), L"on") == 0;
  if (count == 2 && IsSwitch(arguments[0], L"lock") &&
      (on || _wcsicmp(second.c_str(), L"off") == 0)) {
    return [on] { return zol::SetScreenSaverLocks(on), 0; };
  }
  const std::optional<int> minutes = count == 1 ? 60 : Number(second, kLongestPause.count());
  if (count > 2 || !IsSwitch(arguments[0], L"pause") || !minutes) return {};
  return [minutes] { return Resident::PauseFromCommandLine(Minutes(*minutes)); };
}

}  // namespace

int SwitchFromCommandLine(const std::vector<std::wstring>& arguments,
                          const zol::Path& settingsFile) {
  SetErrorMode(SEM_FAILCRITICALERRORS);  // a drive without a medium is an error, not a dialog
  if (const std::function<int()> command = Command(arguments, settingsFile)) {
    try {
      return command();
    } catch (const zol::Error& error) {
      forms::ShowError(nullptr, Form1::kCaption, error);
      return 1;
    }
  }
  std::wstring given;
  for (const std::wstring& each : arguments) given += (given.empty() ? L"" : L" ") + each;
  MessageBoxW(nullptr, (L"「" + given + L"」は使えません。\n\n" + kUsage).c_str(), Form1::kCaption,
              MB_OK | MB_ICONERROR);
  return 2;
}

}  // namespace zolswap
