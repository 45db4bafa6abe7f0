// Fontconfig keeps its caches until the process ends; the leak checker of
// the sanitizer build would report them as leaks of every test that draws
// text. Only that library is excused.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
