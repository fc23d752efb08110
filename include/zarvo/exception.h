#pragma once
/// @file zarvo/exception.h
/// The exceptions through which libzarvo reports every failure. Catch zv::Error to handle
/// them all; it derives from std::logic_error.

#include <stdexcept>

#include "zarvo/defines.h"

namespace zv {

/// Base of every libzarvo exception. what() returns the whole message; the function name
/// and the expected condition are kept up to 1023 characters each.
///
/// Print both what() and expectedCondition(): what() names the failure with a fixed text,
/// expectedCondition() says why it happened and what to do about it (the reason a window
/// could not be made, the path of a font that could not be read, the condition an argument
/// broke, the types a call takes). Every failure the library raises carries one; it is empty
/// only for an Error constructed without it.
class ZV_API Error : public std::logic_error {
public:
    /// @param functionName      where the failure was raised (a function or a label), copied
    /// @param line              source line of the raise
    /// @param message           the text what() returns, kept whole
    /// @param code              the error code
    /// @param expectedCondition the reason and the advice, copied; null means none
    Error(const char* functionName, int line, const char* message, ErrorCode code,
          const char* expectedCondition = nullptr);
    ~Error() noexcept override;
    Error(const Error&) = default;
    Error& operator=(const Error&) = default;

    const char* functionName() const { return mFuncName; }  ///< never null
    int line() const { return mLineNumber; }                ///< source line of the raise
    ErrorCode err() const { return mErrCode; }              ///< the error code
    /// Why it failed and what to do about it; never null, empty when there is nothing to add.
    const char* expectedCondition() const { return mExpected; }

private:
    char mFuncName[1024];
    int mLineNumber;
    ErrorCode mErrCode;
    char mExpected[1024];
};

/// An unsupported data type; what() is "Invalid data type", code ZV_ERR_TYPE;
/// expectedCondition() names the types the call takes.
class ZV_API TypeError : public Error {
public:
    TypeError(const char* functionName, int line, int argIndex, ZVType type);
    /// @param expectedCondition the types accepted and what to do, copied; null means none
    TypeError(const char* functionName, int line, int argIndex, ZVType type,
              const char* expectedCondition);
    ~TypeError() noexcept override;
    TypeError(const TypeError&) = default;
    TypeError& operator=(const TypeError&) = default;

    const char* typeName() const { return mTypeName; }  ///< short name of the offending type
    int argIndex() const { return mArgIndex; }           ///< 1 for the first argument

private:
    int mArgIndex;
    char mTypeName[1024];
};

/// A bad argument; what() is "Invalid argument", code ZV_ERR_ARGUMENT; expectedCondition()
/// says what the argument should have satisfied and what to do about it.
class ZV_API ArgumentError : public Error {
public:
    ArgumentError(const char* functionName, int line, int argIndex, const char* expectedCondition);
    ~ArgumentError() noexcept override;
    ArgumentError(const ArgumentError&) = default;
    ArgumentError& operator=(const ArgumentError&) = default;

    int argIndex() const { return mArgIndex; }  ///< 1 for the first argument

private:
    int mArgIndex;
};

/// A bad dimension; what() is "Invalid dimension", code ZV_ERR_DIMENSION; expectedCondition()
/// says what the dimension should have satisfied.
class ZV_API DimensionError : public Error {
public:
    DimensionError(const char* functionName, int line, int argIndex, const char* expectedCondition);
    ~DimensionError() noexcept override;
    DimensionError(const DimensionError&) = default;
    DimensionError& operator=(const DimensionError&) = default;

    int argIndex() const { return mArgIndex; }  ///< 1 for the first argument

private:
    int mArgIndex;
};

}  // namespace zv
