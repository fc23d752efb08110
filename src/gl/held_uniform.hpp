#pragma once
// The value a program holds in one uniform, as the object that alone writes it last wrote
// it, so that a frame uploads only what changed. A program's values are seen per context
// (see UniformRefresh): when the object moves to another window, forget() makes the next
// write upload again.

#include <algorithm>

namespace internal {

template <int N>
class HeldUniform {
public:
    // True, remembering the value, when the program does not hold these N floats yet.
    bool update(const float* value) {
        if (mValid && std::equal(value, value + N, mValue)) return false;
        std::copy(value, value + N, mValue);
        mValid = true;
        return true;
    }
    void forget() { mValid = false; }

private:
    float mValue[N] = {};
    bool mValid = false;
};

}  // namespace internal
