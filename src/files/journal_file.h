// The journal of a take: an ordinary recording file (".qvi") that grows
// while the take is played, "take-XXXXXXXX.qvi" in the state folder, held
// (locked) by the window that plays it for as long as that runs. Any reader
// opens it; after a crash, the next start offers it back.
//
// Its writer appends the new events first and only then rewrites the header
// with their count, so that a crash leaves more events than the header
// says, never fewer; the header's counts are therefore not believed when it
// is read back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "files/file_handle.h"
#include "files/qvi_file.h"

namespace tonvale {

// The take in a journal's bytes, however damaged: the key mode and the
// automatic bass of its header where they make sense (else C major, off),
// and the whole events from the start of its data chunk (byte 104 when no
// chunk can be found) up to the end of the bytes or the first event that no
// take can hold (a message other than a press or a release, an octave shift
// other than -1, 0 or +1).
RecordingFile ReadJournal(std::span<const std::uint8_t> bytes);

// "take-" eight hexadecimal digits ".qvi".
bool IsJournalName(std::string_view name);
std::string JournalName(std::string_view tag);

struct LeftJournal {
  std::filesystem::path path;
  FileHandle file;  // locked while it is offered
  RecordingFile take;
};

// The journals in `folder` whose window no longer runs, newest first, each
// held while it lives. Those that hold no event are removed on the way,
// silently; one that cannot be read at all is left for a later start.
std::vector<LeftJournal> FindLeftJournals(const std::filesystem::path& folder);

}  // namespace tonvale
