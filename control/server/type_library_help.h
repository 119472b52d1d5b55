// The help directory recorded with the type library at registration; each build finds it its
// own way.
#pragma once
#include <string>

namespace qz {

std::wstring TypeLibraryHelpDirectory();

}  // namespace qz
