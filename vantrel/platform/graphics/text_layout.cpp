// Text measuring and drawing through PangoCairo: HarfBuzz shapes, fontconfig
// picks the font and falls back to one that has a missing glyph, FriBidi
// orders right-to-left runs and Pango breaks lines by the Unicode rules.
#include <algorithm>
#include <cmath>
#include <climits>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include <cairo.h>
#include <pango/pangocairo.h>

#include "vantrel/core/thread_cache.h"
#include "vantrel/platform/graphics/font.h"
#include "vantrel/platform/graphics/internal/text_drawing.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// Texts up to this many bytes have their measured size kept, at most
// kMeasuredLimit of them per thread.
constexpr std::size_t kMeasuredTextLimit = 64;
constexpr std::size_t kMeasuredLimit = 4096;

// Font sizes Pango can hold in its fixed-point units with room to spare.
constexpr double kLargestPointSize = 10000;

bool isDrawableSize(double pointSize) { return pointSize > 0 && pointSize <= kLargestPointSize; }

double fromPango(int units) { return static_cast<double>(units) / PANGO_SCALE; }

// A width in Pango units for line breaking; -1 (no breaking) past what an
// int holds.
int pangoWidth(double width) {
  if (!(width > 0)) return 0;
  const double units = std::ceil(width * PANGO_SCALE);
  return units < static_cast<double>(INT_MAX / 2) ? static_cast<int>(units) : -1;
}

// --- Fonts shared by all threads -------------------------------------------------

struct FontKey {
  std::string family;
  double pointSize = 0;
  friend bool operator==(const FontKey&, const FontKey&) = default;
};

struct FontKeyHash {
  std::size_t operator()(const FontKey& key) const {
    return std::hash<std::string>()(key.family) * 31 + std::hash<double>()(key.pointSize);
  }
};

// What Pango makes once per family and size. Entries are never removed or
// changed after insertion, so a pointer to one is good for the life of the
// process and read without a lock.
struct FontEntry {
  PangoFontDescription* description = nullptr;
  double ascent = 0;
  double descent = 0;
};

struct FontRegistry {
  std::mutex mutex;
  std::unordered_map<FontKey, FontEntry, FontKeyHash> entries;
};

FontRegistry& fontRegistry() {
  static FontRegistry& registry = *new FontRegistry();  // never destroyed: read by every drawing thread
  return registry;
}

// --- Pango objects of one thread ---------------------------------------------------------

// Pango font maps are not safe to share between threads, so each thread has
// its own, with one context and two layouts reused for every text.
struct ThreadText {
  PangoFontMap* fontMap = pango_cairo_font_map_new();
  PangoContext* context = pango_font_map_create_context(fontMap);
  PangoLayout* layout = nullptr;    // the text being measured or drawn
  PangoLayout* lastLine = nullptr;  // the ellipsized last line of cut text
  // This thread's view of the registry, so a known font costs no lock.
  std::unordered_map<FontKey, const FontEntry*, FontKeyHash> fonts;
  // Sizes of short texts already measured, per font: windows measure the
  // same labels over and over. Bounded: emptied when full.
  std::unordered_map<const FontEntry*, std::unordered_map<std::string, Size>> measured;
  std::size_t measuredCount = 0;

  ThreadText() {
    // Unhinted, unrounded metrics: measurements do not snap to pixels and
    // scale with the font size.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
    layout = pango_layout_new(context);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    lastLine = pango_layout_new(context);
    pango_layout_set_ellipsize(lastLine, PANGO_ELLIPSIZE_END);
  }
  ~ThreadText() {
    g_object_unref(lastLine);
    g_object_unref(layout);
    g_object_unref(context);
    g_object_unref(fontMap);
  }
  ThreadText(const ThreadText&) = delete;
  ThreadText& operator=(const ThreadText&) = delete;

  const FontEntry& font(const Font& font) {
    FontKey key{font.family, font.pointSize};
    if (const auto found = fonts.find(key); found != fonts.end()) return *found->second;
    FontRegistry& registry = fontRegistry();
    {
      std::lock_guard lock(registry.mutex);
      if (const auto found = registry.entries.find(key); found != registry.entries.end()) {
        return *fonts.emplace(std::move(key), &found->second).first->second;
      }
    }
    // Loading the font takes a while: done without the lock, and a thread
    // that loses the race keeps the entry already there.
    FontEntry made = makeEntry(font);
    std::lock_guard lock(registry.mutex);
    const auto [it, inserted] = registry.entries.emplace(key, made);
    if (!inserted) pango_font_description_free(made.description);
    return *fonts.emplace(std::move(key), &it->second).first->second;
  }

  FontEntry makeEntry(const Font& font) const {
    FontEntry entry;
    entry.description = pango_font_description_new();
    pango_font_description_set_family(entry.description, font.family.c_str());
    pango_font_description_set_absolute_size(entry.description, font.pointSize * PANGO_SCALE);
    // The metrics of the font fontconfig picks first, whatever fallback
    // fonts a text may need beside it.
    if (PangoFont* loaded = pango_font_map_load_font(fontMap, context, entry.description)) {
      PangoFontMetrics* metrics = pango_font_get_metrics(loaded, nullptr);
      entry.ascent = fromPango(pango_font_metrics_get_ascent(metrics));
      entry.descent = fromPango(pango_font_metrics_get_descent(metrics));
      pango_font_metrics_unref(metrics);
      g_object_unref(loaded);
    }
    return entry;
  }
};

ThreadText& threadText() {
  constinit thread_local ThreadCache<ThreadText> text;
  return text.get();
}

// Pango takes only valid UTF-8 without NUL, its length an int: other bytes
// become U+FFFD, as everywhere text enters, and a text past 1 GiB is cut.
void setText(PangoLayout* layout, std::string_view text) {
  constexpr std::size_t kLongestText = std::size_t{1} << 30;
  if (text.size() > kLongestText) text = text.substr(0, kLongestText);
  if (isValidUtf8(text) && text.find('\0') == std::string_view::npos) {
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    return;
  }
  const std::string valid =
      replacingOccurrences(repairedUtf8(text), std::string_view("\0", 1), "\xEF\xBF\xBD");  // U+FFFD
  pango_layout_set_text(layout, valid.data(), static_cast<int>(valid.size()));
}

// `layout` holding `text` in `font`, broken into lines `width` Pango units
// wide (-1: only at line separators).
PangoLayout* prepared(PangoLayout* layout, std::string_view text, const FontEntry& font, int width) {
  pango_layout_set_font_description(layout, font.description);
  pango_layout_set_width(layout, width);
  setText(layout, text);
  return layout;
}

// Draws `line` with its baseline `baseline` below the top of `rect`,
// aligned in `rect` by its own advance.
void showLine(cairo_t* cr, bool flipped, PangoLayoutLine* line, Rect rect, double baseline,
              TextAlignment alignment) {
  PangoRectangle logical;
  pango_layout_line_get_extents(line, nullptr, &logical);
  const double width = fromPango(logical.width);
  double x = rect.minX();
  if (alignment == TextAlignment::right) x = rect.maxX() - width;
  if (alignment == TextAlignment::center) x = rect.midX() - width / 2;
  x -= fromPango(logical.x);
  cairo_save(cr);
  if (flipped) {
    cairo_translate(cr, x, rect.minY() + baseline);
  } else {
    // Glyph outlines are y-down: mirror them back upright.
    cairo_translate(cr, x, rect.maxY() - baseline);
    cairo_scale(cr, 1, -1);
  }
  cairo_move_to(cr, 0, 0);
  pango_cairo_show_layout_line(cr, line);
  cairo_restore(cr);
}

bool isTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

// --- font.h ----------------------------------------------------------------------------

Size measureText(std::string_view text, const Font& font) {
  if (!isDrawableSize(font.pointSize)) return {0, 0};
  ThreadText& thread = threadText();
  const FontEntry& entry = thread.font(font);
  std::unordered_map<std::string, Size>* known = nullptr;
  if (text.size() <= kMeasuredTextLimit) {
    known = &thread.measured[&entry];
    if (const auto found = known->find(std::string(text)); found != known->end()) return found->second;
  }
  PangoLayout* layout = prepared(thread.layout, text, entry, -1);
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  const Size size(fromPango(logical.width), fromPango(logical.height));
  if (known != nullptr) {
    if (thread.measuredCount >= kMeasuredLimit) {
      for (auto& [font, sizes] : thread.measured) sizes.clear();
      thread.measuredCount = 0;
    }
    known->emplace(text, size);
    ++thread.measuredCount;
  }
  return size;
}

Size measureWrappedText(std::string_view text, const Font& font, double width) {
  if (!isDrawableSize(font.pointSize)) return {0, 0};
  ThreadText& thread = threadText();
  PangoLayout* layout = prepared(thread.layout, text, thread.font(font), pangoWidth(width));
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  return Size(fromPango(logical.width), fromPango(logical.height));
}

double lineHeight(const Font& font) {
  if (!isDrawableSize(font.pointSize)) return 0;
  const FontEntry& entry = threadText().font(font);
  return entry.ascent + entry.descent;
}

// --- Drawing ----------------------------------------------------------------------------

void graphics_internal::showText(cairo_t* cr, bool flipped, std::string_view text, Rect rect, const Font& font,
                                 const TextLayout& textLayout) {
  if (!isDrawableSize(font.pointSize)) return;
  ThreadText& thread = threadText();
  const FontEntry& entry = thread.font(font);
  PangoLayout* layout =
      prepared(thread.layout, text, entry, textLayout.wrapsWords ? pangoWidth(rect.width()) : -1);

  // Cut text shows only whole lines (the first always); the last one shown
  // ends in an ellipsis when text was left out.
  const int lineCount = pango_layout_get_line_count(layout);
  int shown = lineCount;
  if (textLayout.clipsToRect) {
    const double room = rect.height() * PANGO_SCALE;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    int fitting = 0;
    do {
      PangoRectangle logical;
      pango_layout_iter_get_line_extents(iter, nullptr, &logical);
      if (static_cast<double>(logical.y + logical.height) > room) break;
      ++fitting;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    shown = std::max(fitting, 1);
  }

  PangoLayoutIter* iter = pango_layout_get_iter(layout);
  for (int i = 0; i < shown; ++i) {
    PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
    const double baseline = fromPango(pango_layout_iter_get_baseline(iter));
    if (i == shown - 1 && shown < lineCount) {
      // The line's own text plus an ellipsis, shortened by Pango (at a
      // character boundary, in the line's direction) to fit the width.
      const char* all = pango_layout_get_text(layout);
      std::string last(all + line->start_index, static_cast<std::size_t>(line->length));
      while (!last.empty() && isTrailingSpace(last.back())) last.pop_back();
      last += "\xE2\x80\xA6";  // U+2026
      PangoLayout* ellipsized = prepared(thread.lastLine, last, entry, pangoWidth(rect.width()));
      showLine(cr, flipped, pango_layout_get_line_readonly(ellipsized, 0), rect, baseline, textLayout.alignment);
    } else {
      showLine(cr, flipped, line, rect, baseline, textLayout.alignment);
    }
    if (!pango_layout_iter_next_line(iter)) break;
  }
  pango_layout_iter_free(iter);
}

}  // namespace vantrel
