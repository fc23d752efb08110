#include "gl/shared_program.hpp"

#include "gl/context.hpp"

namespace internal {

ProgramRef findGroupProgram(const std::string& kind) {
    const std::shared_ptr<ShareGroup> group = currentGroup();
    if (!group) return nullptr;
    const auto it = group->programs.find(kind);
    return it == group->programs.end() ? nullptr : it->second.lock();
}

void keepGroupProgram(const std::string& kind, const ProgramRef& program) {
    if (const std::shared_ptr<ShareGroup> group = currentGroup()) group->programs[kind] = program;
}

size_t groupProgramCount() {
    const std::shared_ptr<ShareGroup> group = currentGroup();
    if (!group) return 0;
    size_t live = 0;
    for (const auto& entry : group->programs) live += entry.second.expired() ? 0 : 1;
    return live;
}

}  // namespace internal
