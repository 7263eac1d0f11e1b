// Graphics objects: the font that every control carries.
//
// `TFont` describes how a control draws its text: typeface name, size in points, colour, style
// (bold, italic, underline, strike-out) and character set. No window system stands behind it;
// the attributes are plain values that a form file stores and a translation may replace (a
// language whose script needs another typeface or character set). `Assign` copies every
// attribute of another font at once.
//
//   kivo::TFont font;
//   font.SetName("Arial");
//   font.SetStyle({kivo::fsBold});
//   control.Font()->Assign(&font);  // the control now draws in bold Arial
//
// Form files show the colour and the character set by name where they have one (ColorIdents,
// CharsetIdents): `Font.Color = clRed`, `Font.Charset = RUSSIAN_CHARSET`.
//
// Changes: every setter that changes an attribute fires `OnChange` once; `Assign` fires it once
// for the whole copy.
// Threads: user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "kivo/rtl/Persistent.h"
#include "kivo/rtl/Set.h"

namespace kivo {

// A colour as 0x00BBGGRR, or a system colour: 0x80000000 | the index of the colour in the system
// scheme (negative as a TColor).
using TColor = int32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
// No colour, and the colour a control takes from its surroundings.
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The system colour with index `index` in the system scheme.
constexpr TColor SystemColor(uint32_t index) { return static_cast<TColor>(0x80000000u | index); }
inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);

// The names of the colours above ("clRed", "clBtnFace", …), for the Color properties: a form
// file shows a named colour by its name and accepts the name in place of the number.
const TIdentMap& ColorIdents();

// A character set number.
using TFontCharset = uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SYMBOL_CHARSET = 2;
inline constexpr TFontCharset MAC_CHARSET = 77;
inline constexpr TFontCharset SHIFTJIS_CHARSET = 128;
inline constexpr TFontCharset HANGEUL_CHARSET = 129;
inline constexpr TFontCharset JOHAB_CHARSET = 130;
inline constexpr TFontCharset GB2312_CHARSET = 134;
inline constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
inline constexpr TFontCharset GREEK_CHARSET = 161;
inline constexpr TFontCharset TURKISH_CHARSET = 162;
inline constexpr TFontCharset VIETNAMESE_CHARSET = 163;
inline constexpr TFontCharset HEBREW_CHARSET = 177;
inline constexpr TFontCharset ARABIC_CHARSET = 178;
inline constexpr TFontCharset BALTIC_CHARSET = 186;
inline constexpr TFontCharset RUSSIAN_CHARSET = 204;
inline constexpr TFontCharset THAI_CHARSET = 222;
inline constexpr TFontCharset EASTEUROPE_CHARSET = 238;
inline constexpr TFontCharset OEM_CHARSET = 255;

// The names of the character sets above ("DEFAULT_CHARSET", …), for TFont.Charset.
const TIdentMap& CharsetIdents();

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

// The value names of TFontStyle, for the Style property.
const TEnumInfo& FontStyleInfo();

// Base of the drawing objects; reports its changes through OnChange.
class TGraphicsObject : public TPersistent {
  KIVO_CLASS(TGraphicsObject, TPersistent)

  TGraphicsObject() = default;
  ~TGraphicsObject() override = default;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;

  // Fired after each change.
  TNotifyEvent OnChange;

 protected:
  // Fires OnChange with this object as sender.
  virtual void Changed();
};

class TFont : public TGraphicsObject {
  KIVO_CLASS(TFont, TGraphicsObject)

  // Creates the default font: "Tahoma", 8 points, clWindowText, no style, DEFAULT_CHARSET.
  TFont();
  ~TFont() override = default;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // The size in points.
  int Size() const { return size_; }
  void SetSize(int size);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);

  // Copies every attribute of a TFont source and fires OnChange once; OnChange itself is not
  // copied. Other sources: the inherited Assign.
  // Throws: EConvertError "Cannot assign a TX to a TFont" for a source that is not a font.
  void Assign(const TPersistent* source) override;

  // True when every attribute equals `other`'s.
  bool Equals(const TFont& other) const;

 private:
  std::string name_ = "Tahoma";
  int size_ = 8;
  TColor color_ = clWindowText;
  TFontStyles style_;
  TFontCharset charset_ = DEFAULT_CHARSET;
};

}  // namespace kivo
