// The questions about the running Windows that the core cannot answer portably. Win32 answers
// them on Windows; elsewhere there is no registry and the answers are those of the 9x family,
// where system.ini is all there is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zol {

// Whether the programs run on Windows of the NT family (Windows 2000 to 11), which reads its
// screen saver from the per-user registry rather than from system.ini.
bool IsNtFamily();

// The screen saver that the NT family keeps for the user (HKEY_CURRENT_USER\Control Panel\Desktop,
// SCRNSAVE.EXE); empty when there is none.
std::wstring WindowsScreenSaver();

// On the NT family, sets that value to what system.ini now names after "SCRNSAVE.EXE=", or
// deletes it when that names none, and stores whether a screen saver is active; the session takes
// that too unless it is paused, when the pause's owner gives it the stored setting at the end.
// Nothing on the 9x family. Throws RegistryFailed, naming the key.
void SetWindowsScreenSaver(std::wstring_view writtenValue, bool sessionPaused);

// On the NT family, refuses with PolicyDecides a value to be written after "SCRNSAVE.EXE=" that
// the administrator's policy would make of no effect: any value while the policy names a screen
// saver, one that names a screen saver while the policy turns screen savers off. Nothing on the
// 9x family, which has no such policy.
void CheckScreenSaverPolicy(std::wstring_view writtenValue);

// On the NT family, whether the screen saver that Windows keeps for the user is on
// (ScreenSaveActive is "1"); nothing on the 9x family, which keeps no such value, and nothing
// where the value is absent.
std::optional<bool> StoredScreenSaverActive();

// Whether the screen saver is on in the running session, and the same turned on or off for this
// session only, with nothing stored.
bool SessionScreenSaverActive();
void SetSessionScreenSaverActive(bool active);

// On the NT family, refuses with PolicyDecides a pause of the screen saver while the
// administrator's policy sets either value: the screen saver is the administrator's then.
void CheckPausePolicy();

// The value that the administrator's policy sets for a value of the screen saver's
// ("SCRNSAVE.EXE", "ScreenSaveActive", "ScreenSaveTimeOut", "ScreenSaverIsSecure"); empty where it
// sets none, and always on the 9x family.
std::wstring ScreenSaverPolicy(const wchar_t* name);

// The wait before the screen saver starts, in seconds, and the same set and stored. Refused with
// PolicyDecides while the policy sets it.
int ScreenSaverWait();
void SetScreenSaverWait(int seconds);

// Whether the screen saver locks the session when it ends; nothing on the 9x family, which has no
// such setting. Setting it is refused with NotOnThisWindows there, and with PolicyDecides while
// the policy sets it.
std::optional<bool> ScreenSaverLocks();
void SetScreenSaverLocks(bool locks);

}  // namespace zol
