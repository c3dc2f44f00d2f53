#include "switcher.h"

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

void Form1::Command1_Click() { SwitchTo(zol::ValueText(settings_.Values().FavouriteName)); }

void Form1::Command2_Click() { SwitchTo(std::wstring(zol::kNoScreenSaverFile)); }

void Form1::Command3_Click() { SwitchTo(zol::ValueText(settings_.Values().AlternateName)); }

void Form1::Command4_Click() {
  forms::Launch(zol::ControlPanelCommand(settings_.Values()));
  settings_.Save(form);
  forms::EndProgram();
}

// Every screen saver, the alternate and none included, is named in the favourite's folder. An
// inserted entry is not saved: the switcher keeps zol.ini as it was until an entry exists.
void Form1::SwitchTo(const std::wstring& fileName) {
  const zol::Settings& values = settings_.Values();
  settings_.ChangeScreenSaver(
      zol::ValueText(values.FavouriteDrive) + zol::ValueText(values.FavouriteDir) + fileName, form,
      app::AfterInsert::DoNotSave);
  forms::EndProgram();
}

}  // namespace zolswap
