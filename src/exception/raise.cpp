#include "exception/raise.hpp"

#include <cstdio>

namespace internal {

void raiseError(const char* where, int line, const std::string& message, zv::ErrorCode code) {
    throw zv::Error(where, line, message.c_str(), code);
}
void raiseWithReason(const char* where, int line, const std::string& message,
                     zv::ErrorCode code, const std::string& reason, const char* diagnostic) {
    if (diagnostic) std::fprintf(stderr, "%s\n", diagnostic);
    if (reason.empty()) throw zv::Error(where, line, message.c_str(), code);
    std::fprintf(stderr, "  %s\n", reason.c_str());
    throw zv::Error(where, line, message.c_str(), code, reason.c_str());
}
void raiseArgument(const char* where, int line, int argIndex, const std::string& expected) {
    throw zv::ArgumentError(where, line, argIndex, expected.c_str());
}
void raiseDimension(const char* where, int line, int argIndex, const std::string& expected) {
    throw zv::DimensionError(where, line, argIndex, expected.c_str());
}
void raiseType(const char* where, int line, int argIndex, zv::ZVType type) {
    throw zv::TypeError(where, line, argIndex, type);
}

}  // namespace internal
