#pragma once

// For the main source of a program that loads the web engine, and only
// there (it defines functions: one inclusion per program).
//
// The web engine's own allocator frees some of its objects with a sized
// delete of another size; only the programs that load it let that one check
// go (read by AddressSanitizer before main, so visible to its shared runtime
// whatever the build's default visibility).
//
// The GL stack unloads its driver when its last context goes, before the
// leak check at exit: what the driver kept would then be reported from an
// unknown module, which no suppression can name. Under the sanitizer these
// programs keep every library loaded to the end, so that a system library's
// leftovers carry its name (tests/sanitizer/lsan.supp).

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>

extern "C" __attribute__((visibility("default"))) const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}

extern "C" __attribute__((visibility("default"))) int dlclose(void *) noexcept
{
    return 0;
}
#endif
