#include "trace_library.h"

#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include <tessel.h>

namespace {

constexpr const char* kTraceLibraryName = "libtessel_trace.so";

struct LoadedTraceLibrary {
  StreamingFunctions functions{};
  std::string error;
};

// The trace library to load, and how to name it in a message.
std::string TraceLibraryPath(std::string& where) {
  if (const char* explicitPath = std::getenv("TESSEL_TRACE_LIBRARY");
      explicitPath && *explicitPath) {
    where = "TESSEL_TRACE_LIBRARY=" + std::string(explicitPath);
    return explicitPath;
  }
  // Beside the very libtessel.so in use, so that both come from the same build.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&Tessel_Init), &info) == 0 || !info.dli_fname) {
    where = kTraceLibraryName;
    return {};
  }
  const std::string library = info.dli_fname;
  const size_t slash = library.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : library.substr(0, slash);
  const std::string path = folder + "/" + kTraceLibraryName;
  where = path + " (beside " + library + ")";
  return path;
}

// The exported function `name`, or null; the first name missing goes to `missing`.
template <typename Function>
void Resolve(void* handle, const char* name, Function& function, std::string& missing) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  if (!function && missing.empty()) missing = std::string("it does not export ") + name;
}

LoadedTraceLibrary LoadTraceLibrary() {
  LoadedTraceLibrary loaded;
  std::string where;
  const std::string path = TraceLibraryPath(where);
  const std::string failure = "cannot watch the detector: the trace library " + where + " ";
  if (path.empty()) {
    loaded.error = failure + "cannot be found: the loaded libtessel.so has no known folder";
    return loaded;
  }
  // Never unloaded: its functions serve every later recording.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    loaded.error = failure + "cannot be loaded: " + (reason ? reason : "unknown reason");
    return loaded;
  }
  StreamingFunctions& f = loaded.functions;
  std::string missing;
  Resolve(handle, "Tessel_Init", f.init, missing);
  Resolve(handle, "Tessel_Release", f.release, missing);
  Resolve(handle, "Tessel_AddSample", f.addSample, missing);
  Resolve(handle, "Tessel_GetUttrEPD", f.getUttrEPD, missing);
  Resolve(handle, "Tessel_SetVADThreshold", f.setVADThreshold, missing);
  Resolve(handle, "TesselTrace_SetObserver", f.setObserver, missing);
  if (!missing.empty()) {
    loaded.error = failure + "is not one: " + missing;
    loaded.functions = {};
  }
  return loaded;
}

}  // namespace

StreamingFunctions LinkedStreamingFunctions() {
  return {Tessel_Init,       Tessel_Release,         Tessel_AddSample,
          Tessel_GetUttrEPD, Tessel_SetVADThreshold, nullptr};
}

std::string TraceStreamingFunctions(StreamingFunctions& functions) {
  static const LoadedTraceLibrary loaded = LoadTraceLibrary();
  if (loaded.error.empty()) functions = loaded.functions;
  return loaded.error;
}
