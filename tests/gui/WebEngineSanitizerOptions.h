#pragma once

// For the main source of a program that loads the web engine, and only
// there (it defines a function: one inclusion per program).
//
// The web engine's own allocator frees some of its objects with a sized
// delete of another size; only the programs that load it let that one check
// go (read by AddressSanitizer before main, so visible to its shared runtime
// whatever the build's default visibility).

#if defined(__SANITIZE_ADDRESS__)
extern "C" __attribute__((visibility("default"))) const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif
