// Our JACK MIDI client: lists the MIDI inputs of other clients and plays into
// one of them through an output port of our own.
//
// Messages go through a lock-free queue that our process callback empties.
// Unlike a plain queue it makes sure nothing is lost at the edges of the
// port's life: the callback holds the queue until the connection is part of
// the graph it runs, and closing waits until the queue went out and the
// clients after us have had the cycle that carried it.
#pragma once

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tonvale {

class JackMidiOut {
 public:
  // How long Open waits for the connection and Close for the queue. Bounds
  // only: a healthy server needs a few periods.
  static constexpr std::chrono::milliseconds kOpenWait{500};
  static constexpr std::chrono::milliseconds kCloseWait{500};

  // Joins the running server as `client_name` (JACK may add "-01"); never
  // starts a server, and says nothing when none runs. connected() tells
  // whether that worked.
  explicit JackMidiOut(const char* client_name);
  ~JackMidiOut();
  JackMidiOut(const JackMidiOut&) = delete;
  JackMidiOut& operator=(const JackMidiOut&) = delete;

  bool connected() const { return client_ != nullptr; }

  // Full names of the MIDI input ports of the other clients, in JACK's order.
  std::vector<std::string> InputPorts() const;

  // Registers our port "output", connects it to `destination` and returns once
  // the connection is live (or kOpenWait passed). False when the destination
  // is gone or refuses; then nothing is open.
  bool Open(const std::string& destination);
  // Queues one message of 1..3 bytes; never blocks nor allocates. A full
  // queue drops the message.
  void Send(const std::uint8_t* bytes, std::size_t size);
  // Lets the queue go out (at most kCloseWait), then removes the port.
  void Close();
  bool is_open() const { return port_.load() != nullptr; }

  // What the last Open and Close waited, for measurements.
  std::chrono::microseconds last_open_wait() const { return last_open_wait_; }
  std::chrono::microseconds last_close_wait() const { return last_close_wait_; }

 private:
  static int Process(jack_nframes_t frames, void* self);
  static void Shutdown(void* self);
  int ProcessCycle(jack_nframes_t frames);
  void DropPort();

  jack_client_t* client_ = nullptr;
  jack_ringbuffer_t* queue_ = nullptr;
  std::atomic<jack_port_t*> port_{nullptr};
  std::atomic<bool> live_{false};         // the callback has seen the connection
  std::atomic<std::uint64_t> cycles_{0};  // process callbacks finished
  std::atomic<bool> server_gone_{false};
  std::chrono::microseconds last_open_wait_{0};
  std::chrono::microseconds last_close_wait_{0};
};

}  // namespace tonvale
