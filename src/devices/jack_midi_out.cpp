#include "devices/jack_midi_out.h"

#include <jack/midiport.h>

#include <cerrno>
#include <thread>

#include "devices/jack_probe.h"

namespace tonvale {
namespace {

using Clock = std::chrono::steady_clock;

// Room for about a thousand short messages: more than a chord storm between
// two periods of even the longest buffer.
constexpr std::size_t kQueueBytes = 4096;
// One queued message: its length, then its bytes.
constexpr std::size_t kMaxMessage = 3;
// Short enough to see a 64-frame period (1.3 ms) pass.
constexpr auto kPoll = std::chrono::microseconds(250);

// Polls `done` until it holds, the server went away or `deadline` passed.
template <typename Done>
bool WaitUntil(Done done, const std::atomic<bool>& server_gone, Clock::time_point deadline) {
  while (!done()) {
    if (server_gone.load() || Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

std::chrono::microseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
}

}  // namespace

JackMidiOut::JackMidiOut(const char* client_name) {
  client_ = OpenJackClientQuietly(client_name);
  if (client_ == nullptr) return;
  queue_ = jack_ringbuffer_create(kQueueBytes);
  if (queue_ == nullptr || jack_set_process_callback(client_, &JackMidiOut::Process, this) != 0) {
    if (queue_ != nullptr) jack_ringbuffer_free(queue_);
    queue_ = nullptr;
    jack_client_close(client_);
    client_ = nullptr;
    return;
  }
  jack_on_shutdown(client_, &JackMidiOut::Shutdown, this);
}

JackMidiOut::~JackMidiOut() {
  if (client_ == nullptr) return;
  Close();
  jack_client_close(client_);
  jack_ringbuffer_free(queue_);
}

std::vector<std::string> JackMidiOut::InputPorts() const {
  std::vector<std::string> names;
  if (client_ == nullptr || server_gone_.load()) return names;
  const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
  if (ports == nullptr) return names;
  for (const char** p = ports; *p != nullptr; ++p) names.emplace_back(*p);
  jack_free(ports);
  return names;
}

bool JackMidiOut::Open(const std::string& destination) {
  Close();
  if (client_ == nullptr || server_gone_.load()) return false;
  if (jack_port_by_name(client_, destination.c_str()) == nullptr) return false;
  jack_port_t* port =
      jack_port_register(client_, "output", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  if (port == nullptr) return false;
  jack_ringbuffer_reset(queue_);
  live_.store(false);
  port_.store(port);
  if (jack_activate(client_) != 0) {
    DropPort();
    return false;
  }
  const int rc = jack_connect(client_, jack_port_name(port), destination.c_str());
  if (rc != 0 && rc != EEXIST) {
    DropPort();
    return false;
  }
  // jack_connect returns before the graph that carries the connection runs.
  // Messages sent meanwhile stay queued; waiting here makes Open mean "live".
  const auto start = Clock::now();
  WaitUntil([this] { return live_.load(); }, server_gone_, start + kOpenWait);
  last_open_wait_ = Since(start);
  return true;
}

void JackMidiOut::Send(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0 || size > kMaxMessage || port_.load() == nullptr) return;
  std::uint8_t record[1 + kMaxMessage];
  record[0] = static_cast<std::uint8_t>(size);
  for (std::size_t i = 0; i < size; ++i) record[1 + i] = bytes[i];
  // One write publishes the whole record to the callback at once.
  if (jack_ringbuffer_write_space(queue_) < 1 + size) return;
  jack_ringbuffer_write(queue_, reinterpret_cast<const char*>(record), 1 + size);
}

void JackMidiOut::Close() {
  if (port_.load() == nullptr) return;
  const auto start = Clock::now();
  if (live_.load()) {
    const auto deadline = start + kCloseWait;
    // The callback empties the queue within a period; the cycle it did so in
    // may still be running in the clients after us, so let two more of our
    // cycles begin: the server starts one only after the last has finished.
    if (WaitUntil([this] { return jack_ringbuffer_read_space(queue_) == 0; }, server_gone_,
                  deadline)) {
      const std::uint64_t drained = cycles_.load();
      WaitUntil([this, drained] { return cycles_.load() >= drained + 2; }, server_gone_, deadline);
    }
  }
  last_close_wait_ = Since(start);
  DropPort();
}

void JackMidiOut::DropPort() {
  jack_port_t* port = port_.load();
  if (port == nullptr) return;
  // Deactivating first: the callback no longer runs when the port goes.
  jack_deactivate(client_);
  port_.store(nullptr);
  jack_port_unregister(client_, port);
  jack_ringbuffer_reset(queue_);
  live_.store(false);
}

int JackMidiOut::Process(jack_nframes_t frames, void* self) {
  return static_cast<JackMidiOut*>(self)->ProcessCycle(frames);
}

void JackMidiOut::Shutdown(void* self) {
  static_cast<JackMidiOut*>(self)->server_gone_.store(true);
}

int JackMidiOut::ProcessCycle(jack_nframes_t frames) {
  jack_port_t* port = port_.load();
  if (port != nullptr) {
    void* buffer = jack_port_get_buffer(port, frames);
    jack_midi_clear_buffer(buffer);
    // Until the graph of this cycle holds our connection, whatever we wrote
    // would be read by nobody: keep the queue.
    if (!live_.load() && jack_port_connected(port) > 0) live_.store(true);
    if (live_.load()) {
      std::uint8_t record[1 + kMaxMessage];
      while (jack_ringbuffer_peek(queue_, reinterpret_cast<char*>(record), 1) == 1) {
        const std::size_t size = record[0];
        if (jack_ringbuffer_read_space(queue_) < 1 + size) break;  // not published yet
        jack_ringbuffer_peek(queue_, reinterpret_cast<char*>(record), 1 + size);
        // A full port buffer keeps the rest for the next period.
        if (jack_midi_event_write(buffer, 0, record + 1, size) != 0) break;
        jack_ringbuffer_read_advance(queue_, 1 + size);
      }
    }
  }
  cycles_.fetch_add(1);
  return 0;
}

}  // namespace tonvale
