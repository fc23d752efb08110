#pragma once
// The one way the library raises: every throw goes through these helpers, which record the
// function name (or a fixed label) and the source line.

#include <string>

#include "zarvo/exception.h"

namespace internal {

[[noreturn]] void raiseError(const char* where, int line, const std::string& message,
                             zv::ErrorCode code);
// A zv::Error whose expectedCondition() carries the reason. The diagnostic line, when given,
// and the reason are written to stderr first, for programs that let the exception end them:
// the one way the library prints and raises. An empty reason is neither printed nor carried.
[[noreturn]] void raiseWithReason(const char* where, int line, const std::string& message,
                                  zv::ErrorCode code, const std::string& reason,
                                  const char* diagnostic = nullptr);
[[noreturn]] void raiseArgument(const char* where, int line, int argIndex,
                                const std::string& expected);
[[noreturn]] void raiseDimension(const char* where, int line, int argIndex,
                                 const std::string& expected);
[[noreturn]] void raiseType(const char* where, int line, int argIndex, zv::ZVType type);

}  // namespace internal

// A zv::Error raised from the current function and line.
#define ZV_RAISE(message, code) ::internal::raiseError(__func__, __LINE__, (message), (code))
// A zv::Error with a fixed label and line, for failures whose reported origin is part of the
// library's interface (for instance "Window constructor").
#define ZV_RAISE_AT(label, line, message, code) \
    ::internal::raiseError((label), (line), (message), (code))
#define ZV_RAISE_ARG(label, argIndex, expected) \
    ::internal::raiseArgument((label), __LINE__, (argIndex), (expected))
#define ZV_RAISE_DIM(label, argIndex, expected) \
    ::internal::raiseDimension((label), __LINE__, (argIndex), (expected))
#define ZV_RAISE_TYPE(label, argIndex, type) \
    ::internal::raiseType((label), __LINE__, (argIndex), (type))
