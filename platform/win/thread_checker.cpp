// What a ThreadSanitizer build leaves out: the OpenMP runtime the synthesizer
// library renders with hands its work blocks between its own threads through
// synchronisation the checker cannot see (the runtime is not built for it),
// so every block it frees looks like a race.
extern "C" const char* __tsan_default_suppressions() { return "race:libgomp.so\n"; }
