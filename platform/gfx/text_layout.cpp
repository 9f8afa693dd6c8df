#include "platform/gfx/text_layout.h"

#include <pango/pangocairo.h>

#include <list>
#include <string>
#include <unordered_map>

#include "platform/gfx/graphics.h"

namespace platform::detail {

namespace {

// Large enough for the captions of a form of several thousand controls: a
// repaint walks them in the same order every time, which a smaller LRU cache
// would miss on every caption.
constexpr std::size_t MaxLayouts = 16384;
constexpr double Resolution = 96.0;

class TLayoutCache {
 public:
  TLayoutCache() {
    FFontMap = pango_cairo_font_map_new();
    FContext = pango_font_map_create_context(FFontMap);
    pango_cairo_context_set_resolution(FContext, Resolution);
    cairo_font_options_t* Options = cairo_font_options_create();
    cairo_font_options_set_antialias(Options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_subpixel_order(Options, CAIRO_SUBPIXEL_ORDER_RGB);
    cairo_font_options_set_hint_style(Options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(Options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(FContext, Options);
    cairo_font_options_destroy(Options);
  }
  ~TLayoutCache() {
    Clear();
    for (auto& [Key, Desc] : FFonts) pango_font_description_free(Desc);
    g_object_unref(FContext);
    g_object_unref(FFontMap);
  }
  TLayoutCache(const TLayoutCache&) = delete;
  TLayoutCache& operator=(const TLayoutCache&) = delete;

  const TTextLayout& Get(const TFont& Font, std::string_view Text, const TLayoutFormat& Format);
  int PixelSize(const TFont& Font);

 private:
  struct TEntry {
    std::string Key;
    TTextLayout Layout;
  };
  void Clear() {
    for (TEntry& E : FEntries) g_object_unref(E.Layout.Layout);
    FEntries.clear();
    FIndex.clear();
  }
  PangoFontDescription* Describe(const TFont& Font);
  double CellToCharRatio(const std::string& Family);

  PangoFontMap* FFontMap = nullptr;
  PangoContext* FContext = nullptr;
  std::list<TEntry> FEntries;  // most recently used first
  std::unordered_map<std::string_view, std::list<TEntry>::iterator> FIndex;
  std::unordered_map<std::string, PangoFontDescription*> FFonts;
  std::unordered_map<std::string, double> FRatios;
  std::string FKey;  // scratch key, reused to avoid an allocation per lookup
};

TLayoutCache& Cache() {
  static TLayoutCache Instance;
  return Instance;
}

// The character height over the cell height (ascent + descent) of a face, so
// that a positive font Height (a cell height) can be drawn at the right size.
double TLayoutCache::CellToCharRatio(const std::string& Family) {
  auto It = FRatios.find(Family);
  if (It != FRatios.end()) return It->second;
  PangoFontDescription* Desc = pango_font_description_new();
  pango_font_description_set_family(Desc, Family.c_str());
  pango_font_description_set_absolute_size(Desc, 100.0 * PANGO_SCALE);
  PangoFontMetrics* Metrics = pango_context_get_metrics(FContext, Desc, nullptr);
  const int Cell = pango_font_metrics_get_ascent(Metrics) + pango_font_metrics_get_descent(Metrics);
  pango_font_metrics_unref(Metrics);
  pango_font_description_free(Desc);
  const double Ratio = Cell > 0 ? 100.0 * PANGO_SCALE / Cell : 0.85;
  FRatios.emplace(Family, Ratio);
  return Ratio;
}

int TLayoutCache::PixelSize(const TFont& Font) {
  const int H = Font.Height();
  if (H < 0) return -H;
  if (H == 0) return 11;  // the default character height
  const int Px = int(H * CellToCharRatio(Font.Name()) + 0.5);
  return Px > 0 ? Px : 1;
}

PangoFontDescription* TLayoutCache::Describe(const TFont& Font) {
  const int Px = PixelSize(Font);
  const TFontStyles Style = Font.Style();
  std::string Key = Font.Name();
  Key += '\x1f';
  Key += std::to_string(Px);
  Key += Style.Contains(fsBold) ? 'b' : '-';
  Key += Style.Contains(fsItalic) ? 'i' : '-';
  auto It = FFonts.find(Key);
  if (It != FFonts.end()) return It->second;
  PangoFontDescription* Desc = pango_font_description_new();
  pango_font_description_set_family(Desc, Font.Name().c_str());
  pango_font_description_set_absolute_size(Desc, double(Px) * PANGO_SCALE);
  pango_font_description_set_weight(Desc, Style.Contains(fsBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(Desc, Style.Contains(fsItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  FFonts.emplace(std::move(Key), Desc);
  return Desc;
}

const TTextLayout& TLayoutCache::Get(const TFont& Font, std::string_view Text, const TLayoutFormat& Format) {
  const TFontStyles Style = Font.Style();
  FKey.clear();
  FKey += Font.Name();
  FKey += '\x1f';
  FKey += std::to_string(Font.Height());
  FKey += char('0' + (Style.Bits() & 0xF));
  FKey += '\x1f';
  FKey += std::to_string(Format.WrapWidth);
  FKey += Format.SingleLine ? 's' : 'm';
  FKey += char('0' + Format.Alignment);
  FKey += std::to_string(Format.PrefixPos);
  FKey += Format.Ellipsize ? 'e' : '-';
  FKey += '\x1f';
  FKey += Text;

  auto Found = FIndex.find(FKey);
  if (Found != FIndex.end()) {
    FEntries.splice(FEntries.begin(), FEntries, Found->second);
    return Found->second->Layout;
  }

  if (FEntries.size() >= MaxLayouts) {
    TEntry& Oldest = FEntries.back();
    FIndex.erase(Oldest.Key);
    g_object_unref(Oldest.Layout.Layout);
    FEntries.pop_back();
  }

  PangoLayout* Layout = pango_layout_new(FContext);
  pango_layout_set_font_description(Layout, Describe(Font));
  pango_layout_set_single_paragraph_mode(Layout, Format.SingleLine);
  if (Format.WrapWidth >= 0) {
    pango_layout_set_width(Layout, Format.WrapWidth * PANGO_SCALE);
    pango_layout_set_wrap(Layout, PANGO_WRAP_WORD_CHAR);
    if (Format.Ellipsize) pango_layout_set_ellipsize(Layout, PANGO_ELLIPSIZE_END);
  }
  pango_layout_set_alignment(Layout, Format.Alignment == 1   ? PANGO_ALIGN_CENTER
                                     : Format.Alignment == 2 ? PANGO_ALIGN_RIGHT
                                                             : PANGO_ALIGN_LEFT);
  PangoAttrList* Attrs = pango_attr_list_new();
  if (Style.Contains(fsUnderline)) pango_attr_list_insert(Attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (Style.Contains(fsStrikeOut)) pango_attr_list_insert(Attrs, pango_attr_strikethrough_new(TRUE));
  if (Format.PrefixPos >= 0 && std::size_t(Format.PrefixPos) < Text.size()) {
    // Underline the whole UTF-8 character that starts at PrefixPos.
    std::size_t End = std::size_t(Format.PrefixPos) + 1;
    while (End < Text.size() && (static_cast<unsigned char>(Text[End]) & 0xC0) == 0x80) ++End;
    PangoAttribute* Mark = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    Mark->start_index = guint(Format.PrefixPos);
    Mark->end_index = guint(End);
    pango_attr_list_insert(Attrs, Mark);
  }
  pango_layout_set_attributes(Layout, Attrs);
  pango_attr_list_unref(Attrs);
  if (g_utf8_validate(Text.data(), gssize(Text.size()), nullptr)) {
    pango_layout_set_text(Layout, Text.data(), int(Text.size()));
  } else {
    // Bytes that are not UTF-8 show as replacement characters rather than cutting the text short.
    gchar* Valid = g_utf8_make_valid(Text.data(), gssize(Text.size()));
    pango_layout_set_text(Layout, Valid, -1);
    g_free(Valid);
  }

  TEntry Entry;
  Entry.Key = FKey;
  Entry.Layout.Layout = Layout;
  PangoRectangle Logical;
  pango_layout_get_pixel_extents(Layout, nullptr, &Logical);
  Entry.Layout.Width = Text.empty() ? 0 : Logical.width;
  Entry.Layout.Height = Logical.height;
  Entry.Layout.Baseline = pango_layout_get_baseline(Layout) / PANGO_SCALE;
  FEntries.push_front(std::move(Entry));
  FIndex.emplace(FEntries.front().Key, FEntries.begin());
  return FEntries.front().Layout;
}

}  // namespace

const TTextLayout& LayoutText(const TFont& Font, std::string_view Text, const TLayoutFormat& Format) {
  return Cache().Get(Font, Text, Format);
}

int FontPixelSize(const TFont& Font) { return Cache().PixelSize(Font); }

}  // namespace platform::detail
