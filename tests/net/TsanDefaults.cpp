// Options for ThreadSanitizer builds of this test binary. Qt and glib are
// not instrumented, and Qt's locks are futex-based, so accesses that Qt's own
// threads (its D-Bus thread, started by the network-information backend)
// make through the C library cannot be ordered by the detector; only
// instrumented code is checked. Unused in other builds.
extern "C" const char* __tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}
