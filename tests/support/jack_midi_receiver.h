// A MIDI input port of our own on the JACK server JACK_DEFAULT_SERVER names.
// Each message is stamped with the steady clock as our process callback gets
// it: a dummy server's frame clock runs slow under load, that clock does not.
// (The callback may lock and allocate: the tests' servers are not real-time.)
#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tonvale::test {

struct Received {
  double ms;          // steady clock
  std::string bytes;  // "90 3c 7f"
};
using ReceivedList = std::vector<Received>;

// The bytes of up to `count` messages from `from` on.
inline std::vector<std::string> BytesOf(const ReceivedList& got, std::size_t from = 0,
                                        std::size_t count = SIZE_MAX) {
  std::vector<std::string> out;
  for (std::size_t i = from; i < got.size() && i - from < count; ++i) out.push_back(got[i].bytes);
  return out;
}

class JackMidiReceiver {
 public:
  JackMidiReceiver()
      : client_(jack_client_open("tonvale-test-receiver", JackNoStartServer, nullptr)) {
    if (client_ == nullptr) return;
    port_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (port_ == nullptr || jack_set_process_callback(client_, &Process, this) != 0 ||
        jack_activate(client_) != 0) {
      jack_client_close(std::exchange(client_, nullptr));
    }
  }
  ~JackMidiReceiver() {
    if (client_ != nullptr) jack_client_close(client_);
  }
  bool ok() const { return client_ != nullptr; }
  int connections() const { return jack_port_connected(port_); }
  ReceivedList Events() const {
    std::lock_guard lock(mutex_);
    return received_;
  }
  // What has arrived once `done` holds for it, or after ten seconds.
  ReceivedList WaitUntil(const std::function<bool(const ReceivedList&)>& done) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    ReceivedList got = Events();
    for (; !done(got) && std::chrono::steady_clock::now() < end; got = Events()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
  }
  ReceivedList WaitFor(std::size_t count) const {
    return WaitUntil([count](const ReceivedList& got) { return got.size() >= count; });
  }

 private:
  static int Process(jack_nframes_t frames, void* self_pointer) {
    auto* self = static_cast<JackMidiReceiver*>(self_pointer);
    const std::chrono::duration<double, std::milli> now =
        std::chrono::steady_clock::now().time_since_epoch();
    void* buffer = jack_port_get_buffer(self->port_, frames);
    jack_midi_event_t event;
    for (jack_nframes_t i = 0; jack_midi_event_get(&event, buffer, i) == 0; ++i) {
      Received message{now.count(), ""};
      for (std::size_t b = 0; b < event.size; ++b) {
        char hex[4];
        std::snprintf(hex, sizeof hex, b == 0 ? "%02x" : " %02x", event.buffer[b]);
        message.bytes += hex;
      }
      std::lock_guard lock(self->mutex_);
      self->received_.push_back(std::move(message));
    }
    return 0;
  }

  jack_client_t* client_;
  jack_port_t* port_ = nullptr;
  mutable std::mutex mutex_;
  ReceivedList received_;
};

}  // namespace tonvale::test
