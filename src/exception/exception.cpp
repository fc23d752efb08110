#include "zarvo/exception.h"

#include <cstring>
#include <string>

namespace zv {

namespace {
// Text fields keep at most 1023 characters and always end in a NUL.
void copyField(char (&dst)[1024], const char* src) {
    size_t n = src ? std::char_traits<char>::length(src) : 0;
    if (n > 1023) n = 1023;
    if (n) std::memcpy(dst, src, n);
    dst[n] = '\0';
}

// The short name of a type, as a TypeError records it.
std::string shortTypeName(ZVType type) {
    switch (type) {
        case ZV_INT8: return "int8";
        case ZV_UINT8: return "uint8";
        case ZV_INT32: return "int32";
        case ZV_UINT32: return "uint32";
        case ZV_FLOAT32: return "float32";
        case ZV_INT16: return "int16";
        case ZV_UINT16: return "uint16";
        default: return "unknown type " + std::to_string(static_cast<int>(type));
    }
}
}  // namespace

Error::Error(const char* functionName, int line, const char* message, ErrorCode code,
             const char* expectedCondition)
    : std::logic_error(message ? message : ""), mLineNumber(line), mErrCode(code) {
    copyField(mFuncName, functionName);
    copyField(mExpected, expectedCondition);
}
Error::~Error() noexcept = default;

TypeError::TypeError(const char* functionName, int line, int argIndex, ZVType type)
    : TypeError(functionName, line, argIndex, type, nullptr) {}
TypeError::TypeError(const char* functionName, int line, int argIndex, ZVType type,
                     const char* expectedCondition)
    : Error(functionName, line, "Invalid data type", ZV_ERR_TYPE, expectedCondition),
      mArgIndex(argIndex) {
    copyField(mTypeName, shortTypeName(type).c_str());
}
TypeError::~TypeError() noexcept = default;

ArgumentError::ArgumentError(const char* functionName, int line, int argIndex,
                             const char* expectedCondition)
    : Error(functionName, line, "Invalid argument", ZV_ERR_ARGUMENT, expectedCondition),
      mArgIndex(argIndex) {}
ArgumentError::~ArgumentError() noexcept = default;

DimensionError::DimensionError(const char* functionName, int line, int argIndex,
                               const char* expectedCondition)
    : Error(functionName, line, "Invalid dimension", ZV_ERR_DIMENSION, expectedCondition),
      mArgIndex(argIndex) {}
DimensionError::~DimensionError() noexcept = default;

}  // namespace zv
