#include "kivo/rtl/Graphics.h"

namespace kivo {

const TEnumInfo& FontStyleInfo() {
  static const TEnumInfo info{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
  return info;
}

KIVO_DEFINE_CLASS(TGraphicsObject) {}

KIVO_DEFINE_CLASS(TFont) {
  b.Integer("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
  b.Integer("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText);
  b.String("Name", &TFont::Name, &TFont::SetName).Default("Tahoma");
  b.Integer("Size", &TFont::Size, &TFont::SetSize).Default(8);
  b.Set("Style", FontStyleInfo(), &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

TFont::TFont() = default;

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetSize(int size) {
  if (size == size_) return;
  size_ = size;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::Assign(const TPersistent* source) {
  const auto* other = As<TFont>(source);
  if (other == nullptr) {
    TGraphicsObject::Assign(source);
    return;
  }
  if (other == this) return;
  name_ = other->name_;
  size_ = other->size_;
  color_ = other->color_;
  style_ = other->style_;
  charset_ = other->charset_;
  Changed();
}

bool TFont::Equals(const TFont& other) const {
  return name_ == other.name_ && size_ == other.size_ && color_ == other.color_ &&
         style_ == other.style_ && charset_ == other.charset_;
}

}  // namespace kivo
