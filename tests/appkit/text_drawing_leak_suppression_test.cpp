// The labels draw text, and fontconfig keeps a few bytes for the life of
// the process that LeakSanitizer would report.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
