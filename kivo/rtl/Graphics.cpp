#include "kivo/rtl/Graphics.h"

namespace kivo {

const TEnumInfo& FontStyleInfo() {
  static const TEnumInfo info{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
  return info;
}

const TIdentMap& ColorIdents() {
  static const TIdentMap map{{
      {clBlack, "clBlack"},
      {clMaroon, "clMaroon"},
      {clGreen, "clGreen"},
      {clOlive, "clOlive"},
      {clNavy, "clNavy"},
      {clPurple, "clPurple"},
      {clTeal, "clTeal"},
      {clGray, "clGray"},
      {clSilver, "clSilver"},
      {clRed, "clRed"},
      {clLime, "clLime"},
      {clYellow, "clYellow"},
      {clBlue, "clBlue"},
      {clFuchsia, "clFuchsia"},
      {clAqua, "clAqua"},
      {clWhite, "clWhite"},
      {clNone, "clNone"},
      {clDefault, "clDefault"},
      {clScrollBar, "clScrollBar"},
      {clBackground, "clBackground"},
      {clActiveCaption, "clActiveCaption"},
      {clInactiveCaption, "clInactiveCaption"},
      {clMenu, "clMenu"},
      {clWindow, "clWindow"},
      {clWindowFrame, "clWindowFrame"},
      {clMenuText, "clMenuText"},
      {clWindowText, "clWindowText"},
      {clCaptionText, "clCaptionText"},
      {clActiveBorder, "clActiveBorder"},
      {clInactiveBorder, "clInactiveBorder"},
      {clAppWorkSpace, "clAppWorkSpace"},
      {clHighlight, "clHighlight"},
      {clHighlightText, "clHighlightText"},
      {clBtnFace, "clBtnFace"},
      {clBtnShadow, "clBtnShadow"},
      {clGrayText, "clGrayText"},
      {clBtnText, "clBtnText"},
      {clInactiveCaptionText, "clInactiveCaptionText"},
      {clBtnHighlight, "clBtnHighlight"},
      {cl3DDkShadow, "cl3DDkShadow"},
      {cl3DLight, "cl3DLight"},
      {clInfoText, "clInfoText"},
      {clInfoBk, "clInfoBk"},
  }};
  return map;
}

const TIdentMap& CharsetIdents() {
  static const TIdentMap map{{
      {ANSI_CHARSET, "ANSI_CHARSET"},
      {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
      {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
      {MAC_CHARSET, "MAC_CHARSET"},
      {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
      {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
      {JOHAB_CHARSET, "JOHAB_CHARSET"},
      {GB2312_CHARSET, "GB2312_CHARSET"},
      {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
      {GREEK_CHARSET, "GREEK_CHARSET"},
      {TURKISH_CHARSET, "TURKISH_CHARSET"},
      {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
      {HEBREW_CHARSET, "HEBREW_CHARSET"},
      {ARABIC_CHARSET, "ARABIC_CHARSET"},
      {BALTIC_CHARSET, "BALTIC_CHARSET"},
      {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
      {THAI_CHARSET, "THAI_CHARSET"},
      {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
      {OEM_CHARSET, "OEM_CHARSET"},
  }};
  return map;
}

KIVO_DEFINE_CLASS(TGraphicsObject) {}

KIVO_DEFINE_CLASS(TFont) {
  b.Integer("Charset", &TFont::Charset, &TFont::SetCharset)
      .Default(DEFAULT_CHARSET)
      .Idents(CharsetIdents());
  b.Integer("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText).Idents(ColorIdents());
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
