#pragma once

#include <tarnwickhost/tarnwickhost_export.h>

#include <functional>

namespace Utils {

/// Reports a failed soft assertion; the caller goes on. By default the text
/// goes to the Qt debug output prefixed with "SOFT ASSERT: ".
TARNWICKHOST_EXPORT void writeAssertLocation(const char *msg);

/// Replaces the report of failed soft assertions (null restores the default)
/// and returns the previous one. Meant for tests and embedding hosts.
using AssertHandler = std::function<void(const char *msg)>;
TARNWICKHOST_EXPORT AssertHandler setAssertHandler(AssertHandler handler);

} // namespace Utils

#define TARNWICK_ASSERT_STRINGIFY_(x) #x
#define TARNWICK_ASSERT_STRING(x) TARNWICK_ASSERT_STRINGIFY_(x)
/// Soft assertion: reports the condition, the file and the line, then runs @p action.
#define TARNWICK_ASSERT_AT(cond, file, line, action) \
    do { \
        if (!(cond)) { \
            ::Utils::writeAssertLocation("\"" #cond "\" in file " file ", line " TARNWICK_ASSERT_STRING(line)); \
            action; \
        } \
    } while (0)
