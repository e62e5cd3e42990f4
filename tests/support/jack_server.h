// A private JACK server on the dummy driver, and jack_midi_dump's output
// read back as messages.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tonvale::test {

// A JACK server killed outright keeps its slot in JACK's registry of
// servers, and after a few such slots no server starts on the machine: it
// gets this long to end by itself.
inline constexpr std::chrono::seconds kJackGrace{30};

// Starts `jackd --no-realtime -n name -d dummy` with `period` frames at
// 48 kHz, its log in dir/jackd.log, and waits until clients can connect
// (JACK_DEFAULT_SERVER must name it). The process id, or -1 with `error` set.
pid_t StartJackServer(const std::string& name, int period, const std::filesystem::path& dir,
                      std::string& error);

// One MIDI message as jack_midi_dump printed it: its frame (48 kHz, counted
// from the dump's start) and its bytes as "90 3c 7f".
struct Dumped {
  std::uint64_t frame = 0;
  std::string bytes;
};
std::vector<Dumped> DumpedEvents(const std::string& dump);
std::vector<std::string> DumpedMessages(const std::string& dump);

}  // namespace tonvale::test
