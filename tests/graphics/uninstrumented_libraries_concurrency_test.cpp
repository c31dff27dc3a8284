// GLib, fontconfig, cairo and HarfBuzz synchronise their shared caches with
// their own futex locks and atomics, which ThreadSanitizer cannot see into
// (they are not built with it), so their memcpy, memset and string calls
// look racy when they are not. Those calls are left out; every access made
// by our own code is still checked.
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }
