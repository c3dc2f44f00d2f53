// The one question about the running system that the core cannot answer portably.
#pragma once

namespace zol {

// Whether the programs run on Windows of the NT family (Windows 2000 to 11), which reads its
// screen saver from the per-user registry rather than from system.ini. Win32 asks the system's
// platform id; elsewhere the answer is no, as on the 9x family: system.ini is all there is.
bool IsNtFamily();

}  // namespace zol
