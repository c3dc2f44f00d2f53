#include "configurator.h"

#include <cmath>

#include "entry.h"

namespace zolset {

std::wstring ComposeChosenPath(std::wstring_view folder, std::wstring_view name) {
  std::wstring path = std::wstring(folder) + L"\\" + std::wstring(name);
  const size_t pair = path.find(L"\\\\");
  if (pair != path.npos) path.erase(pair + 1, 1);
  return path;
}

Form1::Form1(zol::Path settingsFile) : settingsFile_(std::move(settingsFile)) {
  form.Load = [this] { Form_Load(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  Drvlist.Change = [this] { Drvlist_Change(); };
  Dirlist.Change = [this] { Dirlist_Change(); };
  Dirlist.Click = [this] { Dirlist_Change(); };
  Dirlist.LostFocus = [this] { Dirlist_LostFocus(); };
  File1.Click = [this] { File1_Click(); };
  File1.DblClick = [this] { File1_Click(); };
  Text1.Change = [this] { Text1_Change(); };
  Label1.Click = [this] { Text1_Change(); };
  Label2.Click = [this] { Label2_Click(); };
}

// The lists pass through the folder of system.ini on their way to the favourite folder.
void Form1::Form_Load() {
  Settings = zol::ReadSettings(settingsFile_, zol::SettingsForm::Configurator);
  form.SetTop(std::lround(Settings.WindowTop));
  form.SetLeft(std::lround(Settings.WindowLeft));
  Drvlist.SetDrive(zol::ValueText(Settings.SystemIniDrive));
  Dirlist.SetPath(zol::ValueText(Settings.SystemIniDir));
  SystemIniPath = zol::SystemIniPath(Settings);
  if (const auto CurrentEntry = zol::ReadCurrentEntry(SystemIniPath)) {
    Label5.SetCaption(*CurrentEntry);
  }
  Drvlist.SetDrive(zol::ValueText(Settings.FavouriteDrive));
  Dirlist.SetPath(zol::ValueText(Settings.FavouriteDir));
}

// The window stays open after a replaced entry and shows it as system.ini now names it.
void Form1::Command1_Click() {
  const std::wstring NewEntryValue = Label1.Caption();
  const zol::RewriteResult result = zol::RewriteEntry(SystemIniPath, NewEntryValue);
  forms::ShareScreenSaver(zol::WrittenEntryValue(NewEntryValue, result));
  try {
    zol::WriteSettings(settingsFile_, Settings, zol::SettingsForm::Configurator,
                       static_cast<float>(form.Top()), static_cast<float>(form.Left()));
  } catch (const zol::Error& error) {
    throw error.AfterEntryChanged();
  }
  if (result == zol::RewriteResult::EntryInserted) forms::EndProgram();
  if (const auto WrittenEntry = zol::ReadCurrentEntry(SystemIniPath)) {
    Label5.SetCaption(*WrittenEntry);
  }
}

void Form1::Command2_Click() { forms::EndProgram(); }

// The picked file itself, by its full path: by its bare name the system's program search would
// find another program of that name, or none.
void Form1::Command3_Click() {
  if (PickedScreenSaver.empty()) throw zol::Error(zol::ErrorKind::NothingPicked, L"");
  forms::Launch(PickedScreenSaver);
}

void Form1::Command4_Click() { forms::Launch(zol::ControlPanelCommand(Settings)); }

// A drive that cannot be read changes nothing: the drive list goes back to the shown folder's.
void Form1::Drvlist_Change() {
  try {
    Dirlist.SetPath(Drvlist.Drive());
    Label1.SetCaption(Drvlist.Drive() + Text1.Text());
  } catch (const zol::Error&) {
    Drvlist.SetDrive(Dirlist.Path());
  }
}

void Form1::Dirlist_Change() {
  File1.SetPath(Dirlist.Path());
  Label1.SetCaption(Dirlist.Path());
}

void Form1::Dirlist_LostFocus() { Dirlist.SetPath(Dirlist.List(Dirlist.ListIndex())); }

void Form1::File1_Click() {
  Text1.SetText(File1.FileName());
  Label1.SetCaption(ComposeChosenPath(Dirlist.Path(), Text1.Text()));
  PickedScreenSaver = Label1.Caption();
  form.Show();
  Command1.SetFocus();
}

void Form1::Text1_Change() { Label1.SetCaption(ComposeChosenPath(Dirlist.Path(), Text1.Text())); }

void Form1::Label2_Click() { form.Hide(); }

}  // namespace zolset
