#pragma once
// Programs are built once per share group and kind. Every object of a kind draws with its
// group's one linked program, found when the object (or its first draw) needs it and held
// while the object lives; the program goes with the last object holding it, so making and
// destroying objects leaves no program behind.
//
// Uniform values belong to the program, so one cache beside it keeps them for every object
// that draws with it. An object therefore writes all of its own values (transform, colour,
// counts) at each draw; the cache uploads only those that differ from what the program holds.
// Only values that are the same for every object of the kind (sampler units, a constant
// colour) are written once, when the program is built.

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "gl/gl_objects.hpp"
#include "gl/uniforms.hpp"

namespace internal {

struct SharedProgram {
    GLProgram program;
    UniformCache uniforms;
    GLuint get() const { return program.get(); }
};
using ProgramRef = std::shared_ptr<SharedProgram>;

// The live program of `kind` in the current context's share group, or null when the group
// has none (or no context of the library's is current).
ProgramRef findGroupProgram(const std::string& kind);
// Records `program` as the current group's program of `kind`; the group does not keep it
// alive.
void keepGroupProgram(const std::string& kind, const ProgramRef& program);
// Number of programs alive in the current context's share group, for tests.
size_t groupProgramCount();

// The current share group's program of `kind` (one key per source: a kind whose source
// varies, e.g. with the data's sampler type, names the variant in the key). When the group
// has none alive, `build()` links one in the current context, its uniforms are looked up by
// table U, and `constants(UniformCache&)` runs once with the program in use to write the
// values common to every object of the kind (UniformCache::setConstant).
template <class U, class Build, class Constants>
ProgramRef groupProgram(const std::string& kind, Build&& build, Constants&& constants) {
    if (ProgramRef found = findGroupProgram(kind)) return found;
    auto made = std::make_shared<SharedProgram>();
    made->program = build();
    made->uniforms = UniformCache::of<U>(made->program.get());
    setProgramConstants(made->program.get(), [&] { constants(made->uniforms); });
    keepGroupProgram(kind, made);
    return made;
}

// The same for a kind with no constants.
template <class U, class Build>
ProgramRef groupProgram(const std::string& kind, Build&& build) {
    return groupProgram<U>(kind, std::forward<Build>(build), [](UniformCache&) {});
}

}  // namespace internal
