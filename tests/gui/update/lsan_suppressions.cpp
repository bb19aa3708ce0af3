// Fontconfig keeps its caches until the process ends; under the leak
// checker that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
