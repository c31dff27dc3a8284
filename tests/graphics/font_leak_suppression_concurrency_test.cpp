// fontconfig keeps a few bytes of its parsed configuration where
// LeakSanitizer cannot see them; they are allocated once per process and are
// not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
