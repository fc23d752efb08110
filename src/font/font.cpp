#include "zarvo/font.h"

#include "font/font.hpp"

namespace zv {

Font::Font() : mValue(new internal::_Font()) {}
Font::Font(const Font& other) : mValue(new internal::_Font(*other.mValue)) {}
Font& Font::operator=(const Font& other) {
    *mValue = *other.mValue;
    return *this;
}
Font::~Font() { delete mValue; }
void Font::loadFont(const char* file, int size) { mValue->impl()->loadFont(file, size); }
void Font::loadSystemFont(const char* name, int size) { mValue->impl()->loadSystemFont(name, size); }

}  // namespace zv
