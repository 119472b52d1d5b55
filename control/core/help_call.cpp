// ShowHelp: the help engine called with the control's help properties.
#include <windows.h>

#include <cstddef>
#include <vector>

#include "qzcommdl_ctrl.h"
#include "system_calls.h"

namespace qz {
namespace {

constexpr long kErrHelpFailed = 1;

bool TakesKeyword(UINT command) {
  return command == HELP_KEY || command == HELP_COMMAND || command == HELP_PARTIALKEY || command == HELP_MULTIKEY;
}

// HELP_MULTIKEY wants a keyword table letter and a phrase: the first character of the key
// names the table, the rest is the phrase.
std::vector<char> MultiKeyOf(const std::string& key) {
  const size_t header = offsetof(MULTIKEYHELPA, szKeyphrase);
  const std::string phrase = key.size() > 1 ? key.substr(1) : std::string();
  std::vector<char> block(header + phrase.size() + 1, '\0');
  auto* help = reinterpret_cast<MULTIKEYHELPA*>(block.data());
  help->mkSize = static_cast<DWORD>(block.size());
  help->mkKeylist = key.empty() ? '\0' : key[0];
  phrase.copy(block.data() + header, phrase.size());
  return block;
}

}  // namespace

void CQzcommdlCtrl::RunHelp() {
  // HelpCommand is taken sign-extended; HelpContext as the 32-bit number it is.
  const UINT command = static_cast<UINT>(static_cast<int>(help_command_));
  std::vector<char> multi_key;
  ULONG_PTR data = static_cast<ULONG_PTR>(static_cast<DWORD>(help_context_));
  if (command == HELP_MULTIKEY) {
    multi_key = MultiKeyOf(help_key_);
    data = reinterpret_cast<ULONG_PTR>(multi_key.data());
  } else if (TakesKeyword(command)) {
    data = reinterpret_cast<ULONG_PTR>(help_key_.c_str());
  }
  if (!TheSystemCalls().win_help(EnsureWindow(), help_file_.c_str(), command, data)) RaiseControlError(kErrHelpFailed);
}

}  // namespace qz
