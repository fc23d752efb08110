#include "zarvo/font.h"

#include "font/font.hpp"

namespace zv {

Font::Font() : mValue(std::make_shared<internal::_Font>()) {}
void Font::loadFont(const char* file, int size) { mValue->impl()->loadFont(file, size); }
void Font::loadSystemFont(const char* name, int size) { mValue->impl()->loadSystemFont(name, size); }

}  // namespace zv
