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
// Changes: every setter that changes an attribute fires `OnChange` once; `Assign` fires it once
// for the whole copy.
// Threads: user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "kivo/rtl/Persistent.h"
#include "kivo/rtl/Set.h"

namespace kivo {

// A colour as 0x00BBGGRR, or a system colour (negative values).
using TColor = int32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);

// A character set number.
using TFontCharset = uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SHIFTJIS_CHARSET = 128;
inline constexpr TFontCharset GB2312_CHARSET = 134;
inline constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
inline constexpr TFontCharset RUSSIAN_CHARSET = 204;

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
