#pragma once

// One logging helper for the whole client: free-form lines on stderr, no levels.
// The guard macros log the system's own texts with the source file and line.

#include <QString>

namespace parley {

// Writes one line to stderr (thread-safe).
void plLog(const QString &line);

// "break : object is nil (file, line)"
void plLogNil(const char *file, int line);
// "break : flag is false (file, line)"
void plLogFalse(const char *file, int line);
// "exception = what, (file, line)"
void plLogException(const QString &what, const char *file, int line);

// Test hook: while set, every logged line goes here instead of stderr.
using LogSink = void (*)(const QString &line);
void setLogSink(LogSink sink);

} // namespace parley

// Returns (with the optional value) when the object is missing. `present` is
// anything that converts to bool: a pointer, an optional, or `!s.isNull()`.
#define PL_GUARD_OBJECT(present, ...)                                                              \
    do {                                                                                           \
        if (!(present)) {                                                                          \
            ::parley::plLogNil(__FILE__, __LINE__);                                                \
            return __VA_ARGS__;                                                                    \
        }                                                                                          \
    } while (0)

// Returns (with the optional value) when the condition is false.
#define PL_GUARD_FLAG(condition, ...)                                                              \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::parley::plLogFalse(__FILE__, __LINE__);                                              \
            return __VA_ARGS__;                                                                    \
        }                                                                                          \
    } while (0)

// Runs a statement block; an exception is logged and swallowed so that one bad
// handler never stops the caller's loop.
#define PL_LOG_EXCEPTIONS(...)                                                                     \
    do {                                                                                           \
        try {                                                                                      \
            __VA_ARGS__;                                                                           \
        } catch (const std::exception &plCaught) {                                                 \
            ::parley::plLogException(QString::fromUtf8(plCaught.what()), __FILE__, __LINE__);      \
        } catch (...) {                                                                            \
            ::parley::plLogException(QStringLiteral("unknown"), __FILE__, __LINE__);               \
        }                                                                                          \
    } while (0)
