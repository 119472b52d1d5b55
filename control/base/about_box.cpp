#include "about_box.h"

#include "about_text.h"
#include "module.h"

namespace qz {

void ShowAboutBox(HWND owner) {
  const HINSTANCE instance = qzf::Module::Instance();
  if (!instance) return;
  const AboutMessage message = BuildAboutMessage(instance);
  if (message.text.empty()) return;
  MessageBoxA(owner, message.text.c_str(), kAboutTitle, MB_OK);
}

}  // namespace qz
