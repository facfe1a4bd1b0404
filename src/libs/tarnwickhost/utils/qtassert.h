#pragma once

/**
 * @file qtassert.h
 * @brief Soft assertions of the host (Utils::writeAssertLocation()).
 */

#include <tarnwickhost/tarnwickhost_export.h>

#include <functional>

/// Helpers the host's plugins share.
namespace Utils {

/// Reports a failed soft assertion; the caller goes on. By default the text
/// goes to the Qt debug output prefixed with "SOFT ASSERT: ".
TARNWICKHOST_EXPORT void writeAssertLocation(const char *msg);

/// A replacement report of failed soft assertions (setAssertHandler()).
using AssertHandler = std::function<void(const char *msg)>;
/// Replaces the report of failed soft assertions (null restores the default)
/// and returns the previous one. Meant for tests and embedding hosts.
TARNWICKHOST_EXPORT AssertHandler setAssertHandler(AssertHandler handler);

} // namespace Utils

/// Turns @p x into a string literal, unexpanded.
#define TARNWICK_ASSERT_STRINGIFY_(x) #x
/// Turns @p x into a string literal after expanding it.
#define TARNWICK_ASSERT_STRING(x) TARNWICK_ASSERT_STRINGIFY_(x)
/// Soft assertion: reports the condition, the file and the line, then runs @p action.
#define TARNWICK_ASSERT_AT(cond, file, line, action) \
    do { \
        if (!(cond)) { \
            ::Utils::writeAssertLocation("\"" #cond "\" in file " file ", line " TARNWICK_ASSERT_STRING(line)); \
            action; \
        } \
    } while (0)
