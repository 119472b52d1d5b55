// The about box: the module's file title, file version and location in a message box.
#pragma once
#include <windows.h>

namespace qz {

// Shows the box modally, owned by `owner`; shows nothing when the module has no instance.
void ShowAboutBox(HWND owner);

#ifdef QZ_VERSION5
// The older build's About button: the runtime library's about dialog, shown through a
// temporary control object.
void ShowAboutBoxFromPage();
#endif

}  // namespace qz
