#include "devices/audio_log.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <glib.h>

#include <cstdio>
#include <mutex>
#include <utility>

namespace tonvale {
namespace {

std::mutex g_mutex;
int g_capturing = 0;  // captures alive
std::string g_last_error;
std::vector<std::string> g_warnings;

void OnFluidMessage(int level, const char* message, void*) {
  // Warnings say what a desktop user can do nothing about ("Failed to set
  // thread to high priority"); info and debug are for FluidSynth's developers.
  if (level > FLUID_WARN || message == nullptr) return;
  std::lock_guard lock(g_mutex);
  if (level == FLUID_WARN) {
    if (g_capturing > 0) g_warnings.emplace_back(message);
  } else if (g_capturing > 0) {
    g_last_error = message;
  } else {
    std::fprintf(stderr, "fluidsynth: %s\n", message);
  }
}

void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

GLogFunc g_glib_default = nullptr;

// FluidSynth offers a damaged soundfont to its other readers too, and
// libinstpatch's complains through GLib; the failed load says it already.
void OnGlibMessage(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer data) {
  {
    std::lock_guard lock(g_mutex);
    if (g_capturing > 0) return;
  }
  g_glib_default(domain, level, message, data);
}

}  // namespace

void RouteAudioLibraryMessages() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, OnFluidMessage, nullptr);
    }
    snd_lib_error_set_handler(IgnoreAlsaMessage);
    g_glib_default = g_log_set_default_handler(OnGlibMessage, nullptr);
  });
}

AudioLogCapture::AudioLogCapture() {
  RouteAudioLibraryMessages();
  std::lock_guard lock(g_mutex);
  ++g_capturing;
  g_last_error.clear();
  g_warnings.clear();
}

AudioLogCapture::~AudioLogCapture() {
  std::lock_guard lock(g_mutex);
  --g_capturing;
}

std::string AudioLogCapture::TakeLastError() {
  std::lock_guard lock(g_mutex);
  return std::exchange(g_last_error, {});
}

std::vector<std::string> AudioLogCapture::TakeWarnings() {
  std::lock_guard lock(g_mutex);
  return std::exchange(g_warnings, {});
}

}  // namespace tonvale
