// The user's state folder, where Tonvale keeps what must outlive a crash:
// the journal of the take being played and the copies of files being
// rewritten. "$XDG_STATE_HOME/tonvale", by default "~/.local/state/tonvale".
#pragma once

#include <filesystem>

namespace tonvale {

// Where the folder is (whether or not it exists yet); empty when neither
// XDG_STATE_HOME nor HOME says.
std::filesystem::path StateFolder();

// Makes `folder` and the folders above it that are missing, each readable
// by its owner only; true when it exists afterwards.
bool MakeStateFolder(const std::filesystem::path& folder);

}  // namespace tonvale
