#include "record/realtime_priority.h"

#if defined(__unix__) || defined(__APPLE__)
#include <pthread.h>
#include <sched.h>
#endif

namespace tonvale {

bool RaiseCurrentThreadToRealtime() {
#if defined(__unix__) || defined(__APPLE__)
  sched_param param{};
  param.sched_priority = sched_get_priority_min(SCHED_FIFO);
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
#else
  return false;
#endif
}

}  // namespace tonvale
