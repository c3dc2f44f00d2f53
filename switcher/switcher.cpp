#include "switcher.h"

#include <cmath>

#include "entry.h"

namespace zolswap {

Form1::Form1(zol::Path settingsFile) : settingsFile_(std::move(settingsFile)) {
  form.Load = [this] { Form_Load(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
}

void Form1::Form_Load() {
  Settings = zol::ReadSettings(settingsFile_, zol::SettingsForm::QuickSwitcher);
  form.SetTop(std::lround(Settings.WindowTop));
  form.SetLeft(std::lround(Settings.WindowLeft));
  SystemIniPath = zol::SystemIniPath(Settings);
  zol::ReadCurrentEntry(SystemIniPath);  // only to stop here when system.ini is missing
  Command1.SetCaption(zol::ValueText(Settings.FavouriteName) + L" に変更");
  Command3.SetCaption(zol::ValueText(Settings.AlternateName) + L" に変更");
}

void Form1::Command1_Click() { SwitchTo(zol::ValueText(Settings.FavouriteName)); }

void Form1::Command2_Click() { SwitchTo(L"（なし）.scr"); }

void Form1::Command3_Click() { SwitchTo(zol::ValueText(Settings.AlternateName)); }

void Form1::Command4_Click() {
  forms::Launch(zol::ControlPanelCommand(Settings));
  WriteSettings();
  forms::EndProgram();
}

// Every screen saver, the alternate and none included, is named in the favourite's folder.
void Form1::SwitchTo(const std::wstring& fileName) {
  const std::wstring NewEntryValue =
      zol::ValueText(Settings.FavouriteDrive) + zol::ValueText(Settings.FavouriteDir) + fileName;
  const zol::RewriteResult result = zol::RewriteEntry(SystemIniPath, NewEntryValue);
  forms::ShareScreenSaver(zol::WrittenEntryValue(NewEntryValue, result));
  if (result == zol::RewriteResult::EntryReplaced) {
    try {
      WriteSettings();
    } catch (const zol::Error& error) {
      throw error.AfterEntryChanged();
    }
  }
  forms::EndProgram();
}

void Form1::WriteSettings() {
  zol::WriteSettings(settingsFile_, Settings, zol::SettingsForm::QuickSwitcher,
                     static_cast<float>(form.Top()), static_cast<float>(form.Left()));
}

}  // namespace zolswap
