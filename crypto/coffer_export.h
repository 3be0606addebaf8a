// Export macro of libcoffer3: everything is hidden unless marked here, so the
// library's dynamic symbols are exactly its interface.
#pragma once

#if defined(COFFER3_BUILDING)
#define COFFER_API __attribute__((visibility("default")))
#else
#define COFFER_API
#endif
