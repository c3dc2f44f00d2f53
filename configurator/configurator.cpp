#include "configurator.h"

namespace zolset {

std::wstring ComposeChosenPath(std::wstring_view folder, std::wstring_view name) {
  std::wstring path = std::wstring(folder) + L"\\" + std::wstring(name);
  const size_t pair = path.find(L"\\\\");
  if (pair != path.npos) path.erase(pair + 1, 1);
  return path;
}

Form1::Form1(zol::Path settingsFile)
    : settings_(std::move(settingsFile), zol::SettingsForm::Configurator) {
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
  File1.ContextMenu = [this] { File1_ContextMenu(); };
  Text1.Change = [this] { Text1_Change(); };
  Label1.Click = [this] { Text1_Change(); };
  Label2.Click = [this] { Label2_Click(); };
}

// The lists pass through the folder of system.ini on their way to the favourite folder.
void Form1::Form_Load() {
  settings_.Load(form);
  const zol::Settings& values = settings_.Values();
  Drvlist.SetDrive(zol::ValueText(values.SystemIniDrive));
  Dirlist.SetPath(zol::ValueText(values.SystemIniDir));
  ShowCurrentEntry();
  Drvlist.SetDrive(zol::ValueText(values.FavouriteDrive));
  Dirlist.SetPath(zol::ValueText(values.FavouriteDir));
}

// Label5 keeps its designed caption while system.ini names no screen saver.
void Form1::ShowCurrentEntry() {
  if (const auto currentEntry = zol::ReadCurrentEntry(settings_.SystemIni())) {
    Label5.SetCaption(*currentEntry);
  }
}

// An entry inserted where system.ini had none ends the program, as the first set-up of a screen
// saver; a replaced one leaves the window open for another choice, showing the entry as system.ini
// now names it.
void Form1::Command1_Click() {
  const zol::RewriteResult result = settings_.ChangeScreenSaver(Label1.Caption());
  settings_.SaveAfterChange(form);
  if (result == zol::RewriteResult::EntryInserted) forms::EndProgram();
  ShowCurrentEntry();
}

void Form1::Command2_Click() { forms::EndProgram(); }

// The picked file itself, by its full path: by its bare name the system's program search would
// find another program of that name, or none.
void Form1::Command3_Click() {
  if (pickedScreenSaver_.empty()) throw zol::Error(zol::ErrorKind::NothingPicked, L"");
  forms::Launch(pickedScreenSaver_);
}

void Form1::Command4_Click() { forms::Launch(zol::ControlPanelCommand(settings_.Values())); }

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
  preview.Show(L"");
}

void Form1::Dirlist_LostFocus() { Dirlist.SetPath(Dirlist.List(Dirlist.ListIndex())); }

void Form1::File1_Click() {
  Text1.SetText(File1.FileName());
  Label1.SetCaption(ComposeChosenPath(Dirlist.Path(), Text1.Text()));
  pickedScreenSaver_ = Label1.Caption();
  preview.Show(pickedScreenSaver_);
  form.Show();
  Command1.SetFocus();
}

// The verbs that Explorer offers for a screen-saver file: test runs it full screen now, configure
// opens its own settings, as the options button does; and the preview, which then follows the pick.
void Form1::File1_ContextMenu() {
  switch (forms::ChooseFromMenu(form.Handle(), File1.MenuPoint(),
                                {L"テスト(&T)", L"プレビュー(&P)", L"構成(&C)"})) {
    case 0:
      return forms::Launch(pickedScreenSaver_, L"/s");
    case 1:
      return preview.Open(pickedScreenSaver_);
    case 2:
      return forms::Launch(pickedScreenSaver_);
  }
}

void Form1::Text1_Change() { Label1.SetCaption(ComposeChosenPath(Dirlist.Path(), Text1.Text())); }

void Form1::Label2_Click() {
  form.Hide();
  preview.Close();
}

}  // namespace zolset
