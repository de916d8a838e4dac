// What the trace library adds to the exported functions: a host that made its context with this
// library's Tessel_Init may watch the context's end-point detector (the Python package's
// Stream(trace=True) does). libtessel.so never carries it, so the observer stays internal there.
#include <cstdint>
#include <type_traits>

#include "context/detector_observer.h"

// Hosts outside C++ read each record as a row of 18 four-byte values, copied as raw bytes.
static_assert(sizeof(DetectorTrace) == 18 * 4 && alignof(DetectorTrace) == 4 &&
              std::is_standard_layout_v<DetectorTrace> &&
              std::is_trivially_copyable_v<DetectorTrace>);

// Attaches notify to a context from this library's Tessel_Init, replacing the one before; a null
// notify detaches it. notify gets user back and a record that lives only during the call, once
// per analysed frame, from inside Tessel_AddSample; it must not call into the context.
// Returns 0, or -1 for a null context.
extern "C" __attribute__((visibility("default"))) int32_t TesselTrace_SetObserver(
    void* context, DetectorObserverFunction notify, void* user) {
  return SnrContext_SetObserver(context, DetectorObserver{notify, user});
}
