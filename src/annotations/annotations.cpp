#include "zarvo/annotations.h"

#include "annotations/mark.hpp"

namespace zv {

namespace {
using Kind = internal::mark_impl::Kind;
}

std::shared_ptr<internal::AbstractChart2D> Mark::chartObject() const { return mValue->impl(); }
void Mark::setColor(Color color) { mValue->impl()->setColor(color); }

ReferenceLine::ReferenceLine(MarkAxis axis, float value) {
    mValue = std::make_shared<internal::_Mark>(Kind::Line, static_cast<int>(axis), value, 0.0f,
                                               "ReferenceLine::ReferenceLine");
}
void ReferenceLine::setValue(float value) {
    mValue->impl()->setValues(value, 0.0f, "ReferenceLine::setValue");
}
float ReferenceLine::value() const { return mValue->impl()->a(); }
void ReferenceLine::setWidth(float pixels) { mValue->impl()->setWidth(pixels); }
float ReferenceLine::width() const { return mValue->impl()->width(); }

Span::Span(MarkAxis axis, float from, float to) {
    mValue = std::make_shared<internal::_Mark>(Kind::Span, static_cast<int>(axis), from, to,
                                               "Span::Span");
}
void Span::setRange(float from, float to) { mValue->impl()->setValues(from, to, "Span::setRange"); }
float Span::from() const { return mValue->impl()->a(); }
float Span::to() const { return mValue->impl()->b(); }

Annotation::Annotation(const char* text, float x, float y) {
    mValue = std::make_shared<internal::_Mark>(Kind::Text, 0, x, y, "Annotation::Annotation");
    mValue->impl()->setText(text);
}
void Annotation::setText(const char* text) { mValue->impl()->setText(text); }
const std::string& Annotation::text() const { return mValue->impl()->text(); }
void Annotation::setPosition(float x, float y) {
    mValue->impl()->setValues(x, y, "Annotation::setPosition");
}
float Annotation::x() const { return mValue->impl()->a(); }
float Annotation::y() const { return mValue->impl()->b(); }
void Annotation::setTextSize(int pixels) { mValue->impl()->setTextSize(pixels); }
int Annotation::textSize() const { return mValue->impl()->textSize(); }

}  // namespace zv
