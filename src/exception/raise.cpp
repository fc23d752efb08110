#include "exception/raise.hpp"

#include <cassert>
#include <cstdio>

namespace internal {

namespace {

constexpr ErrorRow ROWS[] = {
#define ZV_ERROR(id, cls, code, arg, output, message, advice) \
    {ErrorId::id, #id, ErrorClass::cls, zv::code, arg, output, message, advice},
#include "exception/error_table.inc"
#undef ZV_ERROR
};
static_assert(sizeof(ROWS) / sizeof(ROWS[0]) == static_cast<size_t>(ErrorId::Count),
              "one row for each error id");

// Row i holds id i: the rows are made from the same list as the ids, in the same order.
constexpr bool inOrder() {
    for (int i = 0; i < static_cast<int>(ErrorId::Count); ++i) {
        if (static_cast<int>(ROWS[i].id) != i) return false;
    }
    return true;
}
static_assert(inOrder(), "the table's rows follow the ids");

}  // namespace

const ErrorRow& errorRow(ErrorId id) { return ROWS[static_cast<int>(id)]; }
const ErrorRow* errorTable() { return ROWS; }

std::string fillIn(const char* text, std::initializer_list<ErrorValue> values) {
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (p[0] == '{' && p[1] == '{') {
            out += '{';
            ++p;
            continue;
        }
        if (p[0] == '{' && p[1] >= '0' && p[1] <= '9' && p[2] == '}') {
            const size_t index = static_cast<size_t>(p[1] - '0');
            assert(index < values.size() && "a row's text names a value the site did not pass");
            if (index < values.size()) out += values.begin()[index].text();
            p += 2;
            continue;
        }
        out += *p;
    }
    return out;
}

void raiseFailure(ErrorId id, const RaiseSite& site, std::initializer_list<ErrorValue> values) {
    const ErrorRow& row = errorRow(id);
    const int arg = row.arg == BY_SITE ? site.arg : row.arg;
    assert((row.arg == BY_SITE) == (site.arg != NO_ARG) &&
           "ZV_FAIL_ARG names the argument exactly for rows whose argument is BY_SITE");
    const std::string advice = fillIn(row.advice, values);
    if (row.output.diagnostic) {
        std::fprintf(stderr, "%s\n", fillIn(row.output.diagnostic, values).c_str());
    }
    if (row.output.advice) std::fprintf(stderr, "  %s\n", advice.c_str());
    switch (row.cls) {
        case ErrorClass::ArgumentError:
            throw zv::ArgumentError(site.where, site.line, arg, advice.c_str());
        case ErrorClass::DimensionError:
            throw zv::DimensionError(site.where, site.line, arg, advice.c_str());
        case ErrorClass::TypeError: {
            assert(values.size() > 0 && values.begin()->isType() &&
                   "a type failure passes the offending type first");
            const zv::ZVType type =
                values.size() > 0 ? values.begin()->type() : static_cast<zv::ZVType>(-1);
            throw zv::TypeError(site.where, site.line, arg, type, advice.c_str());
        }
        case ErrorClass::Error:
            break;
    }
    throw zv::Error(site.where, site.line, fillIn(row.message, values).c_str(), row.code,
                    advice.c_str());
}

}  // namespace internal
