// TDC: a device context, the one drawing interface of the layer. Every kind
// of context is this class over a TDevice_Binding:
// - memory contexts (TMemoryDC) bind the selected bitmap;
// - DIB contexts (TDibDC) bind a DIB's pixels;
// - screen, window, client and paint contexts are made by the window layer
//   with the public constructor below: a binding on the screen with the
//   window's origin, visible region and the screen lock, plus, for a paint
//   context, the update region.
//
// Coordinates given to the drawing calls are logical; the mapping mode
// (MM_TEXT, or MM_ANISOTROPIC with window and viewport origin and extent;
// a negative extent flips its axis) turns them into device pixels, and the
// binding's origin turns those into surface pixels. Each call maps and
// clips once, then hands spans or rectangles to a painter chosen once.
//
// Clipping has two levels: the system clip (the binding's visible region
// and the update region of a paint context) and the application clip
// (SelectClipRgn and friends, in device coordinates). Both always apply.
//
// Pixel rules: rectangles exclude their right and bottom edge; lines exclude
// their last pixel; with the null pen, Rectangle, RoundRect, Ellipse, Chord
// and Pie fill a box one pixel narrower and shorter.
//
// Colours: an RGB colour draws as itself on a 32-bit surface; a
// palette-index colour is looked up in the selected palette (black without
// one, or beyond its end); a system colour in the system-colour table; on an indexed surface the pixel is the first
// colour-table entry equal to the colour, else the nearest one.
//
// A context is used by one thread at a time; selected objects are held by
// reference, so a pen, brush, font, palette or bitmap may be dropped by its
// owner while selected.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/clip_bands.h"
#include "platform/gdi/color.h"
#include "platform/gdi/device_binding.h"
#include "platform/gdi/span_sink.h"
#include "platform/gdi/device_caps.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/font.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/index_run_writer.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/raster_op.h"
#include "platform/gdi/region.h"

constexpr int MM_TEXT = 1;
constexpr int MM_ANISOTROPIC = 8;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
constexpr int STRETCH_ORSCANS = WHITEONBLACK;
constexpr int STRETCH_DELETESCANS = COLORONCOLOR;

constexpr int FLOODFILLBORDER = 0;
constexpr int FLOODFILLSURFACE = 1;

// Region complexity, as clip calls answer.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

constexpr unsigned ETO_OPAQUE = 0x0002;
constexpr unsigned ETO_CLIPPED = 0x0004;

constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;

class TDC {
 public:
  // A context on a binding. update_region, in device pixels, narrows the
  // system clip further (the update region of a paint context). screen
  // tells that the binding is the display (the screen DC).
  explicit TDC(std::shared_ptr<TDevice_Binding> binding, const TRegion* update_region = nullptr,
               bool screen = false);
  TDC(const TDC&) = delete;
  TDC& operator=(const TDC&) = delete;
  virtual ~TDC();

  // ---- Objects -------------------------------------------------------------
  void SelectObject(const TPen& pen);
  void SelectObject(const TBrush& brush);
  void SelectObject(const TFont& font);
  void SelectObject(const TPalette& palette, bool force_background = false);
  void SelectPalette(const TPalette& palette, bool force_background = false) { SelectObject(palette, force_background); }
  // Memory contexts only (the others ignore it): draw on the bitmap's
  // pixels, kept alive until another bitmap is selected or the context is
  // gone.
  void SelectObject(const TBitmap& bitmap);
  void RestoreBitmap();
  // WHITE_BRUSH .. NULL_BRUSH, WHITE_PEN .. NULL_PEN, SYSTEM_FONT ...
  void SelectStockObject(int index);
  // Put back the objects the context started with.
  void RestorePen();
  void RestoreBrush();
  void RestoreFont();
  void RestorePalette();
  void RestoreObjects();
  // The screen is true-colour: nothing to realise.
  int RealizePalette() { return 0; }

  // ---- Attributes ---------------------------------------------------------
  TColor SetTextColor(TColor colour);
  TColor GetTextColor() const { return state_.text_color; }
  TColor SetBkColor(TColor colour);
  TColor GetBkColor() const { return state_.bk_color; }
  int SetBkMode(int mode);
  int GetBkMode() const { return state_.bk_mode; }
  unsigned SetTextAlign(unsigned flags);
  unsigned GetTextAlign() const { return state_.text_align; }
  int SetROP2(int mode);
  int GetROP2() const { return state_.rop2; }
  int SetPolyFillMode(int mode);
  int GetPolyFillMode() const { return state_.poly_fill_mode; }
  int SetStretchBltMode(int mode);
  int GetStretchBltMode() const { return state_.stretch_mode; }
  TPoint SetBrushOrg(TPoint origin);
  TPoint GetBrushOrg() const { return state_.brush_origin; }
  // The RGB a colour value draws with in this context.
  TColor Resolve_Color(TColor colour) const;
  TColor GetNearestColor(TColor colour) const;
  // The display's capabilities (true-colour unless the test switch says
  // otherwise) for every kind of context; HORZRES and VERTRES give the size
  // of the surface drawn on.
  virtual int GetDeviceCaps(int index) const;

  // ---- Mapping ------------------------------------------------------------
  int SetMapMode(int mode);
  int GetMapMode() const { return state_.map_mode; }
  TPoint SetWindowOrg(TPoint origin);
  TPoint GetWindowOrg() const { return state_.window_org; }
  TSize SetWindowExt(TSize extent);
  TSize GetWindowExt() const { return state_.window_ext; }
  TPoint SetViewportOrg(TPoint origin);
  TPoint GetViewportOrg() const { return state_.viewport_org; }
  TSize SetViewportExt(TSize extent);
  TSize GetViewportExt() const { return state_.viewport_ext; }
  void LPtoDP(TPoint* points, int count = 1) const;
  void DPtoLP(TPoint* points, int count = 1) const;

  // ---- State stack --------------------------------------------------------
  // Returns the new level (from 1), or 0 on failure.
  int SaveDC();
  // A negative level counts back from the top; false for a level that does
  // not exist (nothing changes then).
  bool RestoreDC(int level = -1);

  // ---- Clipping (the application level) -----------------------------------
  // The region is in device pixels and is copied.
  int SelectClipRgn(const TRegion& region);
  int SelectClipRgn(const TRegion* region);  // null removes the clip
  int RemoveClipRgn() { return SelectClipRgn(nullptr); }
  int ExtSelectClipRgn(const TRegion* region, int mode);
  // false and an empty region when no application clip is set.
  bool GetClipRgn(TRegion& region) const;
  // Bounds of everything drawing may touch, in logical units.
  int GetClipBox(TRect& rect) const;
  TRect GetClipBox() const;
  int IntersectClipRect(const TRect& rect);
  int ExcludeClipRect(const TRect& rect);
  int OffsetClipRgn(TPoint delta);
  bool PtVisible(TPoint point) const;
  bool RectVisible(const TRect& rect) const;

  // ---- Lines and shapes ---------------------------------------------------
  TPoint MoveTo(TPoint point);
  TPoint MoveTo(int x, int y) { return MoveTo(TPoint(x, y)); }
  TPoint GetCurrentPosition() const { return state_.position; }
  bool LineTo(TPoint point);
  bool LineTo(int x, int y) { return LineTo(TPoint(x, y)); }
  bool Polyline(const TPoint* points, int count);
  bool PolyBezier(const TPoint* points, int count);
  bool Polygon(const TPoint* points, int count);
  bool PolyPolygon(const TPoint* points, const int* counts, int polygon_count);
  bool Rectangle(const TRect& rect);
  bool Rectangle(int l, int t, int r, int b) { return Rectangle(TRect(l, t, r, b)); }
  bool RoundRect(const TRect& rect, TPoint corner);
  bool RoundRect(int l, int t, int r, int b, int w, int h) { return RoundRect(TRect(l, t, r, b), TPoint(w, h)); }
  bool Ellipse(const TRect& rect);
  bool Ellipse(int l, int t, int r, int b) { return Ellipse(TRect(l, t, r, b)); }
  bool Arc(const TRect& rect, TPoint start, TPoint end);
  bool Chord(const TRect& rect, TPoint start, TPoint end);
  bool Pie(const TRect& rect, TPoint start, TPoint end);

  // ---- Pixels, areas and regions ------------------------------------------
  // The colour the pixel was given, or CLR_INVALID when outside.
  TColor SetPixel(TPoint point, TColor colour);
  TColor SetPixel(int x, int y, TColor colour) { return SetPixel(TPoint(x, y), colour); }
  // CLR_INVALID outside the surface or the clip.
  TColor GetPixel(TPoint point) const;
  TColor GetPixel(int x, int y) const { return GetPixel(TPoint(x, y)); }
  bool PatBlt(const TRect& rect, uint32_t rop = PATCOPY);
  bool PatBlt(int x, int y, int w, int h, uint32_t rop = PATCOPY) { return PatBlt(TRect(x, y, x + w, y + h), rop); }
  bool FillRect(const TRect& rect, const TBrush& brush);
  bool FrameRect(const TRect& rect, const TBrush& brush);
  bool InvertRect(const TRect& rect);
  bool DrawFocusRect(const TRect& rect);
  // Regions are in logical units, as the shape they came from.
  bool FillRgn(const TRegion& region, const TBrush& brush);
  bool PaintRgn(const TRegion& region);
  bool FrameRgn(const TRegion& region, const TBrush& brush, TSize size);
  bool InvertRgn(const TRegion& region);
  bool ExtFloodFill(TPoint point, TColor colour, int mode);
  bool FloodFill(TPoint point, TColor border) { return ExtFloodFill(point, border, FLOODFILLBORDER); }

  // ---- Blits ----------------------------------------------------------------
  bool BitBlt(const TRect& dst, const TDC& src, TPoint src_origin, uint32_t rop = SRCCOPY);
  bool BitBlt(int x, int y, int w, int h, const TDC& src, int sx, int sy, uint32_t rop = SRCCOPY) {
    return BitBlt(TRect(x, y, x + w, y + h), src, TPoint(sx, sy), rop);
  }
  bool StretchBlt(const TRect& dst, const TDC& src, const TRect& src_rect, uint32_t rop = SRCCOPY);
  bool StretchBlt(int x, int y, int w, int h, const TDC& src, int sx, int sy, int sw, int sh,
                  uint32_t rop = SRCCOPY) {
    return StretchBlt(TRect(x, y, x + w, y + h), src, TRect(sx, sy, sx + sw, sy + sh), rop);
  }
  // Puts runs of colour-table indices in the colours of colours' 256
  // entries on a 32-bit surface: draw gives the runs to the writer, in
  // logical pixels, within box, which is what is reported drawn. False when
  // nothing was drawn: no surface or clip, not 32 bits, a scaling mapping.
  bool Put_Index_Runs(const TRect& box, const uint32_t* colours,
                      const std::function<void(TIndex_Run_Writer&)>& draw);
  // Draws a DIB straight from its bits (StretchDIBits): src_rect in DIB
  // pixels, y counted up from the bottom row of a bottom-up DIB (src_rect's
  // top is its lowest row), so a rectangle at (0, 0) takes the bottom rows.
  bool StretchDIBits(const TRect& dst, const TRect& src_rect, const TDib& dib, uint32_t rop = SRCCOPY);
  bool SetDIBitsToDevice(const TRect& dst, TPoint src, const TDib& dib);
  // The colour table of the selected DIB (indexed surfaces only).
  int SetDIBColorTable(int first, int count, const uint32_t* xrgb);
  int GetDIBColorTable(int first, int count, uint32_t* xrgb) const;

  // ---- Text -----------------------------------------------------------------
  bool TextOut(TPoint point, std::string_view text, int count = -1);
  bool TextOut(int x, int y, std::string_view text, int count = -1) { return TextOut(TPoint(x, y), text, count); }
  bool ExtTextOut(TPoint point, unsigned options, const TRect* rect, std::string_view text, int count = -1);
  // Returns the height of the text drawn (or measured, DT_CALCRECT).
  int DrawText(std::string_view text, int count, TRect& rect, unsigned format);
  TSize GetTextExtent(std::string_view text, int count = -1) const;
  bool GetTextMetrics(TText_Metrics& metrics) const;
  const TFont_Spec& Selected_Font() const { return *state_.font; }

  // ---- For the layer ----------------------------------------------------------
  const std::shared_ptr<TDevice_Binding>& Binding() const { return binding_; }
  bool Is_Screen() const { return screen_; }
  // Makes every raster operation take the generic path (tests compare the
  // fast paths with it).
  static void Use_Generic_Raster_Ops_For_Tests(bool generic);
  static bool Generic_Raster_Ops();

 protected:
  // What SaveDC keeps.
  struct TState {
    std::shared_ptr<const TPen::TData> pen;
    std::shared_ptr<const TBrush::TData> brush;
    std::shared_ptr<const TFont_Spec> font;
    std::shared_ptr<TPalette::TEntries> palette;
    std::shared_ptr<TSurface> bitmap;  // a memory context's selected bitmap
    TColor text_color = TColor::Black;
    TColor bk_color = TColor::White;
    int bk_mode = OPAQUE;
    unsigned text_align = TA_LEFT | TA_TOP;
    int rop2 = R2_COPYPEN;
    int poly_fill_mode = ALTERNATE;
    int stretch_mode = BLACKONWHITE;
    TPoint position;
    int map_mode = MM_TEXT;
    TPoint window_org, viewport_org;
    TSize window_ext{1, 1}, viewport_ext{1, 1};
    TPoint brush_origin;
    std::optional<TRegion> app_clip;  // device pixels
  };

  // Held for the duration of one primitive: the binding's lock, and the
  // surface and clip to draw with (refreshed when anything changed).
  class TDraw_Scope {
   public:
    explicit TDraw_Scope(const TDC& dc);
    ~TDraw_Scope();
    TDraw_Scope(const TDraw_Scope&) = delete;
    TDraw_Scope& operator=(const TDraw_Scope&) = delete;
    // False when nothing can be drawn (invalid binding, empty clip).
    explicit operator bool() const { return ok_; }
    TSurface& Surface() const { return *surface_; }
    const TClip_Bands& Clip() const;
    // Narrows what the primitive may touch (surface pixels) from the whole
    // clip, which is what the binding is told was drawn; an empty box for
    // a primitive that only reads.
    void Touches(const TRect& surface_box) { touched_ = surface_box; }

   private:
    const TDC& dc_;
    TDevice_Binding::TLock* lock_;
    TSurface* surface_ = nullptr;
    bool ok_ = false;
    std::optional<TRect> touched_;
  };

  // A device that keeps pictures whole (a printer's page) takes a stretch
  // here instead of drawing it pixel by pixel; true when it did.
  virtual bool Keep_Stretch(const TRect& dst, const TDC& src, const TRect& src_rect, uint32_t rop) {
    (void)dst, (void)src, (void)src_rect, (void)rop;
    return false;
  }

  void Select_Bitmap(std::shared_ptr<TSurface> surface);
  // The selected bitmap is the one RestoreObjects puts back.
  void Keep_As_Initial_Bitmap();
  TState& State() { return state_; }

 private:
  friend class TDraw_Scope;
  friend class TDC_Painter;

  // Logical to device and device to surface.
  TPoint To_Device(TPoint logical) const;
  TPoint To_Surface(TPoint logical) const;
  TRect To_Surface_Box(const TRect& logical) const;  // normalised
  int To_Device_Width(int logical_width) const;
  TPoint To_Logical(TPoint device) const;
  void Clip_Changed() { ++clip_generation_; }
  void Refresh_Clip() const;
  // The application clip as it stands, for the clip calls (device pixels);
  // none when unset.
  int Complexity_Of(const TRegion& region) const;
  uint32_t Surface_Value(const TSurface& surface, TColor colour) const;
  // source_colours: the source is DIB bits drawn in their own colours.
  bool Stretch(const TRect& dst, const TDC& src, const TRect& src_rect, uint32_t rop, bool source_colours = false);
  // A figure to paint: its area (filled with the brush less the outline)
  // and its outline (painted with the pen), both as span producers.
  struct TFigure;
  struct TPen_Shape;
  TPen_Shape Pen_Shape() const;
  bool Draw_Figure(const TFigure& figure);
  // Chord and Pie: an area and an outline cut from the ellipse in rect by
  // the rays through start and end.
  using TSector_Area = void (*)(const TRect&, TPoint, TPoint, const TRect&, const TSpan_Sink&);
  using TSector_Outline = void (*)(const TRect&, TPoint, TPoint, int, const TRect&, const TSpan_Sink&);
  bool Draw_Sector(const TRect& rect, TPoint start, TPoint end, TSector_Area area, TSector_Outline outline);
  bool Draw_Lines(const TPoint* surface_points, int count, bool closed, bool include_last);
  bool Fill_Region_With(const TRegion& region, const TBrush::TData& brush, uint8_t table);
  // Draws one line of text with its reference point at point (logical) and
  // the given alignment; clip_rect (logical) cuts the glyphs, opaque_rect
  // (logical) is filled with the background colour first.
  bool Draw_Text_Line(TPoint point, unsigned align, std::string_view text, const TRect* clip_rect,
                      const TRect* opaque_rect);
  TFont_Spec Device_Font() const;

  std::shared_ptr<TDevice_Binding> binding_;
  std::optional<TRegion> update_region_;
  bool screen_ = false;
  TState state_;
  TState initial_;  // the objects the context started with
  std::vector<TState> saved_;
  uint64_t clip_generation_ = 1;

  // The clip in surface pixels, rebuilt when the binding or the clip changes.
  mutable TClip_Bands clip_;
  mutable uint64_t clip_built_for_binding_ = 0;
  mutable uint64_t clip_built_for_dc_ = 0;
};
