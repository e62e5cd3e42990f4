// At start, before the window opens: what earlier runs left behind when
// they ended without cleaning up (a crash, a kill, a power cut), offered
// back. First the copies of files whose rewrite in place never finished,
// then the journals of takes never saved, newest first.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "files/file_handle.h"
#include "files/qvi_file.h"

namespace tonvale {

class Notices;

struct RecoveredTake {
  RecordingFile take;
  FileHandle journal;  // held until the take is in this run's journal
};

// Asks about each leftover in `state_folder` in a question box captioned
// "QV" (Yes, the default, or No) until one take is taken back. Yes puts a
// copy back into its file (a message names the file when that fails) or
// takes the take; No removes the leftover. As soon as `ended` says the
// program is to end, it stops and touches nothing more.
std::optional<RecoveredTake> OfferLeftovers(Notices& notices,
                                            const std::filesystem::path& state_folder,
                                            const std::function<bool()>& ended);

}  // namespace tonvale
