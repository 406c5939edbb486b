#pragma once
// Controls: graphic controls paint onto their parent's surface and have no
// window; windowed controls own a platform window and route mouse messages
// to the graphic controls they hold.

#include <string>
#include <vector>

#include "framework/Canvas.h"
#include "framework/Component.h"
#include "platform/Windowing.h"

namespace kelpo {

class TPopupMenu;
class TWinControl;

// Colour identifiers a layout may use instead of numbers.
constexpr Color clBlack = Rgb(0, 0, 0);
constexpr Color clMaroon = Rgb(128, 0, 0);
constexpr Color clBlue = Rgb(0, 0, 255);
constexpr Color clWhite = Rgb(255, 255, 255);
constexpr Color clWindowText = clBlack;
constexpr Color clBtnFace = Rgb(240, 240, 240);
constexpr Color clBtnHighlight = clWhite;
constexpr Color clBtnShadow = Rgb(160, 160, 160);

// A colour property: a number (0x00BBGGRR) or one of the identifiers above.
Color LayoutColor(const PropertyReading& reading);

template <>
struct EnumIdentifiers<CursorKind> {
  static constexpr EnumName<CursorKind> Names[] = {{"crDefault", CursorKind::Default},
                                                   {"crArrow", CursorKind::Arrow},
                                                   {"crHourGlass", CursorKind::HourGlass},
                                                   {"crHandPoint", CursorKind::HandPoint}};
};

enum class TFontStyle { fsBold, fsItalic, fsUnderline };
template <>
struct EnumIdentifiers<TFontStyle> {
  static constexpr EnumName<TFontStyle> Names[] = {
      {"fsBold", TFontStyle::fsBold}, {"fsItalic", TFontStyle::fsItalic}, {"fsUnderline", TFontStyle::fsUnderline}};
};

// Text is drawn with the system's default character set; a layout's charset is checked and not used.
enum class TFontCharset {
  ANSI_CHARSET,
  DEFAULT_CHARSET,
  SYMBOL_CHARSET,
  MAC_CHARSET,
  SHIFTJIS_CHARSET,
  HANGEUL_CHARSET,
  JOHAB_CHARSET,
  GB2312_CHARSET,
  CHINESEBIG5_CHARSET,
  GREEK_CHARSET,
  TURKISH_CHARSET,
  VIETNAMESE_CHARSET,
  HEBREW_CHARSET,
  ARABIC_CHARSET,
  BALTIC_CHARSET,
  RUSSIAN_CHARSET,
  THAI_CHARSET,
  EASTEUROPE_CHARSET,
  OEM_CHARSET
};
template <>
struct EnumIdentifiers<TFontCharset> {
  using C = TFontCharset;
  static constexpr EnumName<C> Names[] = {{"ANSI_CHARSET", C::ANSI_CHARSET},
                                          {"DEFAULT_CHARSET", C::DEFAULT_CHARSET},
                                          {"SYMBOL_CHARSET", C::SYMBOL_CHARSET},
                                          {"MAC_CHARSET", C::MAC_CHARSET},
                                          {"SHIFTJIS_CHARSET", C::SHIFTJIS_CHARSET},
                                          {"HANGEUL_CHARSET", C::HANGEUL_CHARSET},
                                          {"JOHAB_CHARSET", C::JOHAB_CHARSET},
                                          {"GB2312_CHARSET", C::GB2312_CHARSET},
                                          {"CHINESEBIG5_CHARSET", C::CHINESEBIG5_CHARSET},
                                          {"GREEK_CHARSET", C::GREEK_CHARSET},
                                          {"TURKISH_CHARSET", C::TURKISH_CHARSET},
                                          {"VIETNAMESE_CHARSET", C::VIETNAMESE_CHARSET},
                                          {"HEBREW_CHARSET", C::HEBREW_CHARSET},
                                          {"ARABIC_CHARSET", C::ARABIC_CHARSET},
                                          {"BALTIC_CHARSET", C::BALTIC_CHARSET},
                                          {"RUSSIAN_CHARSET", C::RUSSIAN_CHARSET},
                                          {"THAI_CHARSET", C::THAI_CHARSET},
                                          {"EASTEUROPE_CHARSET", C::EASTEUROPE_CHARSET},
                                          {"OEM_CHARSET", C::OEM_CHARSET}};
};

// How a control takes its place in its parent: alClient fills it.
enum class TAlign { alNone, alClient };
template <>
struct EnumIdentifiers<TAlign> {
  static constexpr EnumName<TAlign> Names[] = {{"alNone", TAlign::alNone}, {"alClient", TAlign::alClient}};
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  explicit TControl(TApplication& application);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width; }
  int Height() const { return bounds_.Height; }
  const Rect& BoundsRect() const { return bounds_; }
  virtual void SetBounds(const Rect& bounds);
  void SetWidth(int width) { SetBounds(Rect{bounds_.Left, bounds_.Top, width, bounds_.Height}); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  CursorKind Cursor = CursorKind::Default;
  Color ControlColor() const { return color_; }
  void SetColor(Color color);
  const FontSpec& Font() const { return font_; }
  void SetFont(const FontSpec& font);

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;

  // The context menu, opened at the pointer by a right click on the control.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

  // What a click does: runs OnClick.
  virtual void Click();
  virtual void MouseDown(TMouseButton button, int x, int y);
  virtual void MouseUp(TMouseButton button, int x, int y);

  // Graphic controls paint themselves here, in their own coordinates.
  virtual void Paint(TCanvas&) {}
  virtual bool IsGraphic() const { return true; }
  // Windowed children create their windows once the parent has one.
  virtual void CreateHandle() {}
  virtual int TabOrderValue() const { return 0; }
  // Repaints the control's area of its parent.
  void Invalidate();
  // Paints a graphic control's area of its parent on the screen at once,
  // outside the paint cycle, so that a change shows while a handler still runs.
  void Repaint();

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 protected:
  void SetVisibleFlag(bool visible) { visible_ = visible; }
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void FontChanged() {}

 private:
  friend class TWinControl;
  TWinControl* parent_ = nullptr;
  Rect bounds_;
  bool visible_ = true;
  bool parentFont_ = true;
  Color color_ = clBtnFace;
  FontSpec font_;
  TPopupMenu* popupMenu_ = nullptr;
};

class TWinControl : public TControl, protected PaintedWindow {
 public:
  explicit TWinControl(TComponent* owner);
  explicit TWinControl(TApplication& application);
  ~TWinControl() override;

  WindowHandle Handle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != 0; }
  const std::vector<TControl*>& Controls() const { return controls_; }
  int TabOrder = 0;
  int TabOrderValue() const override { return TabOrder; }

  void CreateHandle() override;
  void DestroyHandle();
  // Asks for the window to be painted again.
  void InvalidateArea();
  // Paints the client area into `target` (client-sized) at once: the
  // background, then the graphic children in creation order.
  void PaintTo(Surface& target) { PaintWindow(target); }
  // The same within `area` only: the graphic children outside it are not painted.
  void PaintTo(Surface& target, const Rect& area);

  bool IsGraphic() const override { return false; }
  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }
  // Graphic and windowed controls become children; other components are only held.
  bool InsertLayoutChild(TComponent& child) override;

  // The graphic control under a point of the client area, the topmost first.
  TControl* GraphicControlAt(Point p) const;

 protected:
  friend class TControl;
  virtual WindowParams CreateParams();
  bool WindowProc(Message& m) override;
  void PaintWindow(Surface& target) override;
  // Background and frame, before the graphic children.
  virtual void PaintBackground(TCanvas& canvas);
  void BoundsChanged() override;
  void VisibleChanged() override;

 private:
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool HandleMouse(Message& m);
  // Opens the context menu of the control under the point, or of the nearest
  // parent that has one; false when none has.
  bool ContextPopup(Message& m);

  WindowHandle handle_ = 0;
  std::vector<TControl*> controls_;
  TControl* pressed_ = nullptr;  // the graphic control that has the mouse captured
  TMouseButton pressedButton_ = TMouseButton::mbLeft;
};

}  // namespace kelpo
