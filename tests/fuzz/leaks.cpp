// Leaks LeakSanitizer is not to report: the font library keeps what Qt's
// font lookups made it find for the life of the process, and frees it
// nowhere.

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
