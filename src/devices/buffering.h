// How much sound the built-in synthesizer keeps ahead of the speaker: the
// trade between a key's delay and the clicks of a stream that ran dry.
#pragma once

namespace tonvale {

struct Buffering {
  int period_frames = 64;  // rendered at a time
  int periods = 3;         // kept queued

  int frames() const { return period_frames * periods; }
  double Ms(double sample_rate) const { return 1000.0 * frames() / sample_rate; }
  bool operator==(const Buffering&) const = default;
};

// The audio paths that buffer differently.
enum class AudioPath { kPipeWire, kPulseAudio, kAlsa, kOther };

// What each path keeps unless the user says otherwise, chosen by counting
// dropouts on each server (bench_dropouts): the least buffering that held
// none. In milliseconds, so that it holds at whatever rate the server runs.
double DefaultBufferingMs(AudioPath path);

// `ms` of sound at `sample_rate` split into `periods` periods, each rounded
// to a whole frame and at least one.
Buffering BufferingForMs(double ms, double sample_rate, int periods);

}  // namespace tonvale
