#pragma once
// Moving a finished file into an archive folder without ever replacing what is there and without
// ever losing the file: a name already taken is kept and the file gets the first free name of
// NAME-2.EXT, NAME-3.EXT, ...; across filesystems the file is copied (the copy named only once
// complete and flushed) and the original removed after that.

#include <filesystem>
#include <string>

namespace pathshift {

// The path the file now has, or an empty path with `error` set, the file then still where it was.
std::filesystem::path moveIntoFolder(const std::filesystem::path& file, const std::filesystem::path& folder,
                                     std::string& error);

// The name a moved file tries on its `attempt`th try, from 1: its own name, then NAME-2.EXT, ...
std::filesystem::path numberedName(const std::filesystem::path& name, int attempt);

}  // namespace pathshift
