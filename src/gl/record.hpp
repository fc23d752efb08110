#pragma once
// The record behind every public handle (zv::Plot, zv::Window, ...): the one shared pointer
// to the object, reached only from the drawing thread. A public class keeps its record in a
// std::shared_ptr, so copies of a handle share one object with no copy or delete written by
// hand; each kind's record (_Plot, _Window, ...) only says how the object is made.

#include <memory>
#include <utility>

#include "gl/context.hpp"

namespace internal {

template <class Impl>
class Record {
public:
    // Every public call reaches the object through here, from the drawing thread only.
    const std::shared_ptr<Impl>& impl() const {
        requireDrawingThread(mName);
        return mImpl;
    }

protected:
    // `name` is the public class, for the wrong-thread error ("zv::Plot").
    Record(const char* name, std::shared_ptr<Impl> impl) : mName(name), mImpl(std::move(impl)) {}

private:
    const char* mName;
    std::shared_ptr<Impl> mImpl;
};

}  // namespace internal
