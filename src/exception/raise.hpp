#pragma once
// The one way the library raises. Every failure has an id, and one row of the table in
// error_table.inc says everything about it: the exception class, the error code, the
// argument it blames (if any), what() and the advice (what the caller should do), and what
// is written to stderr first. A raise site names the id, where it happened and the values
// the texts need; it writes no text of its own.
//
// Adding a failure:
//   1. one row in error_table.inc, in the group of its folder, e.g.
//        ZV_ERROR(PlotCountAboveRoom, ArgumentError, ZV_ERR_ARGUMENT, 1, QUIET,
//                 "Invalid argument",
//                 "a count of at most {0}, the points the plot was made with room for")
//      {0}, {1}, ... are the values the site passes, in order; every value must be used.
//   2. one call where it happens:
//        ZV_FAIL(PlotCountAboveRoom, "Plot::setCount", mNumPoints);
//      ZV_FAIL_ARG when the site knows which argument is bad (the row's arg is BY_SITE),
//      ZV_FAIL_AT when the reported line is part of the interface (a fixed number).
// Values may be strings, integers, or a zv::ZVType (a TypeError's offending type, passed
// first).

#include <initializer_list>
#include <string>
#include <type_traits>

#include "zarvo/exception.h"

namespace internal {

// The ids, in the table's order.
enum class ErrorId : int {
#define ZV_ERROR(id, cls, code, arg, output, message, advice) id,
#include "exception/error_table.inc"
#undef ZV_ERROR
    Count
};

// Which public exception a row raises.
enum class ErrorClass : unsigned char { Error, ArgumentError, DimensionError, TypeError };

// The argument a row blames: none (a zv::Error), or one the raise site names.
constexpr int NO_ARG = -1;
constexpr int BY_SITE = -2;

// What a failure writes to stderr before it is raised, for programs that let the exception
// end them: nothing, the advice (indented), or a diagnostic line (a text with the same
// placeholders) with or without the advice after it.
struct ErrorOutput {
    const char* diagnostic;
    bool advice;
};
constexpr ErrorOutput QUIET{nullptr, false};
constexpr ErrorOutput PRINT_ADVICE{nullptr, true};
constexpr ErrorOutput printFirst(const char* diagnostic, bool advice) {
    return ErrorOutput{diagnostic, advice};
}

struct ErrorRow {
    ErrorId id;
    const char* name;
    ErrorClass cls;
    zv::ErrorCode code;
    int arg;  // 0 is the object itself, 1 the first argument; NO_ARG, BY_SITE
    ErrorOutput output;
    const char* message;
    const char* advice;
};

// The row of an id, and the whole table (ErrorId::Count rows, row i of id i).
const ErrorRow& errorRow(ErrorId id);
const ErrorRow* errorTable();

// Where a failure was raised: a function name or a fixed label, the source line, and the
// argument when the row leaves it to the site.
struct RaiseSite {
    const char* where;
    int line;
    int arg = NO_ARG;
};

// One value for the texts of a row.
class ErrorValue {
public:
    ErrorValue(const std::string& text) : mText(text) {}
    ErrorValue(const char* text) : mText(text ? text : "") {}
    template <class T, std::enable_if_t<std::is_integral<T>::value, int> = 0>
    ErrorValue(T number) : mText(std::to_string(number)) {}
    ErrorValue(zv::ZVType type) : mText(std::to_string(static_cast<int>(type))), mType(type) {}

    const std::string& text() const { return mText; }
    bool isType() const { return mType != NOT_A_TYPE; }
    zv::ZVType type() const { return static_cast<zv::ZVType>(mType); }

private:
    static constexpr int NOT_A_TYPE = -1;
    std::string mText;
    int mType = NOT_A_TYPE;
};

// A row's text with {0}, {1}, ... replaced by the values; "{{" stands for "{".
std::string fillIn(const char* text, std::initializer_list<ErrorValue> values);

[[noreturn]] void raiseFailure(ErrorId id, const RaiseSite& site,
                        std::initializer_list<ErrorValue> values);

}  // namespace internal

// Raises the failure `id` (a name of internal::ErrorId) from `where` at this line.
#define ZV_FAIL(id, where, ...)                                                          \
    ::internal::raiseFailure(::internal::ErrorId::id, ::internal::RaiseSite{(where), __LINE__}, \
                      {__VA_ARGS__})
// The same, blaming argument `argIndex` (for rows whose argument is BY_SITE).
#define ZV_FAIL_ARG(id, where, argIndex, ...)                                         \
    ::internal::raiseFailure(::internal::ErrorId::id,                                        \
                      ::internal::RaiseSite{(where), __LINE__, (argIndex)}, {__VA_ARGS__})
// The same with a fixed line, for failures whose reported origin is part of the library's
// interface (for instance "Window constructor", line 57).
#define ZV_FAIL_AT(id, where, line, ...)                                              \
    ::internal::raiseFailure(::internal::ErrorId::id, ::internal::RaiseSite{(where), (line)}, \
                             {__VA_ARGS__})
