#include "vantrel/platform/graphics/drawing_context.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/text/characters.h"

namespace vantrel {
namespace {

constexpr std::int64_t kMaxSide = 32767;  // cairo's own limit for image surfaces

// --- Fonts ---------------------------------------------------------------------

struct FontFaces {
  std::mutex mutex;
  FT_Library library = nullptr;
  std::map<std::string, cairo_font_face_t*> faces;  // kept for the life of the process
};

FontFaces& fontFaces() {
  static FontFaces* faces = new FontFaces();  // never destroyed: faces may be in use at exit
  return *faces;
}

cairo_user_data_key_t kFaceKey;

// The face fontconfig picks for `family`; the toy face when no file can be
// loaded, so drawing text never fails.
cairo_font_face_t* fontFace(const std::string& family) {
  FontFaces& registry = fontFaces();
  std::lock_guard lock(registry.mutex);
  if (auto found = registry.faces.find(family); found != registry.faces.end()) return found->second;

  cairo_font_face_t* face = nullptr;
  if (registry.library != nullptr || FT_Init_FreeType(&registry.library) == 0) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (pattern != nullptr) {
      FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
      FcDefaultSubstitute(pattern);
      FcResult result = FcResultNoMatch;
      FcPattern* match = FcFontMatch(nullptr, pattern, &result);
      FcChar8* file = nullptr;
      int index = 0;
      if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FT_Face ftFace = nullptr;
        if (FT_New_Face(registry.library, reinterpret_cast<const char*>(file), index, &ftFace) == 0) {
          face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
          const auto done = [](void* data) { FT_Done_Face(static_cast<FT_Face>(data)); };
          if (cairo_font_face_set_user_data(face, &kFaceKey, ftFace, done) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(face);
            FT_Done_Face(ftFace);
            face = nullptr;
          }
        }
      }
      if (match != nullptr) FcPatternDestroy(match);
      FcPatternDestroy(pattern);
    }
  }
  if (face == nullptr) {
    face = cairo_toy_font_face_create(family.c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  }
  registry.faces.emplace(family, face);
  return face;
}

// Unhinted outlines and metrics, so measurements do not snap to pixels.
void selectFont(cairo_t* cr, const Font& font) {
  cairo_set_font_face(cr, fontFace(font.family));
  cairo_set_font_size(cr, font.pointSize);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

double advance(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    lines.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

// The longest run of whole characters from the start of `text` that fits
// `width` (at least one character, so every call makes progress).
std::size_t fittingPrefix(cairo_t* cr, const std::string& text, double width) {
  const std::vector<std::size_t> bounds = characterBoundaries(text);
  std::size_t best = bounds.size() > 1 ? bounds[1] : text.size();
  for (std::size_t i = 2; i < bounds.size(); ++i) {
    if (advance(cr, text.substr(0, bounds[i])) > width) break;
    best = bounds[i];
  }
  return best;
}

// Greedy word wrapping: lines break between words; a word wider than the
// line is broken between characters.
std::vector<std::string> wrapLine(cairo_t* cr, const std::string& line, double width) {
  std::vector<std::string> out;
  std::string current;
  std::size_t position = 0;
  while (position <= line.size()) {
    std::size_t space = line.find(' ', position);
    if (space == std::string::npos) space = line.size();
    std::string word = line.substr(position, space - position);
    position = space + 1;
    const std::string candidate = current.empty() ? word : current + " " + word;
    if (advance(cr, candidate) <= width) {
      current = candidate;
      continue;
    }
    if (!current.empty()) out.push_back(std::move(current));
    current.clear();
    while (!word.empty() && advance(cr, word) > width) {
      const std::size_t cut = fittingPrefix(cr, word, width);
      out.push_back(word.substr(0, cut));
      word.erase(0, cut);
    }
    current = std::move(word);
  }
  out.push_back(current);
  return out;
}

// `line` shortened at a character boundary so that it and an ellipsis fit.
std::string withEllipsis(cairo_t* cr, const std::string& line, double width) {
  static constexpr char kEllipsis[] = "\xE2\x80\xA6";  // U+2026
  const std::vector<std::size_t> bounds = characterBoundaries(line);
  for (std::size_t i = bounds.size(); i-- > 0;) {
    std::string shortened = line.substr(0, bounds[i]);
    while (!shortened.empty() && shortened.back() == ' ') shortened.pop_back();
    if (advance(cr, shortened + kEllipsis) <= width || i == 0) return shortened + kEllipsis;
  }
  return kEllipsis;
}

// One scratch surface for measuring.
struct Measurer {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(surface);
  ~Measurer() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
};

cairo_operator_t cairoOperator(CompositingOperation operation) {
  switch (operation) {
    case CompositingOperation::clear: return CAIRO_OPERATOR_CLEAR;
    case CompositingOperation::copy: return CAIRO_OPERATOR_SOURCE;
    case CompositingOperation::sourceOver: return CAIRO_OPERATOR_OVER;
    case CompositingOperation::sourceIn: return CAIRO_OPERATOR_IN;
    case CompositingOperation::sourceOut: return CAIRO_OPERATOR_OUT;
    case CompositingOperation::sourceAtop: return CAIRO_OPERATOR_ATOP;
    case CompositingOperation::destinationOver: return CAIRO_OPERATOR_DEST_OVER;
    case CompositingOperation::destinationIn: return CAIRO_OPERATOR_DEST_IN;
    case CompositingOperation::destinationOut: return CAIRO_OPERATOR_DEST_OUT;
    case CompositingOperation::destinationAtop: return CAIRO_OPERATOR_DEST_ATOP;
    case CompositingOperation::xor_: return CAIRO_OPERATOR_XOR;
    case CompositingOperation::plusLighter: return CAIRO_OPERATOR_ADD;
    case CompositingOperation::multiply: return CAIRO_OPERATOR_MULTIPLY;
    case CompositingOperation::screen: return CAIRO_OPERATOR_SCREEN;
    case CompositingOperation::darken: return CAIRO_OPERATOR_DARKEN;
    case CompositingOperation::lighten: return CAIRO_OPERATOR_LIGHTEN;
    case CompositingOperation::difference: return CAIRO_OPERATOR_DIFFERENCE;
  }
  return CAIRO_OPERATOR_OVER;
}

struct Rgba {
  double r = 0, g = 0, b = 0, a = 1;
};

Rgba rgbaOf(const Color& color) {
  const auto unit = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); };
  return {unit(color.redComponent()), unit(color.greenComponent()), unit(color.blueComponent()),
          unit(color.alphaComponent())};
}

AffineTransform fromCairo(const cairo_matrix_t& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }
cairo_matrix_t toCairo(const AffineTransform& t) {
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
  return m;
}

}  // namespace

struct DrawingContext::Impl {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool flipped = false;
  // What cairo does not keep for us: the two colours, saved with the state.
  struct Paint {
    Rgba fill{0, 0, 0, 1};
    Rgba stroke{0, 0, 0, 1};
  };
  Paint paint;
  std::vector<Paint> saved;

  ~Impl() {
    if (cr != nullptr) cairo_destroy(cr);
    if (surface != nullptr) cairo_surface_destroy(surface);
  }

  // Device space is cairo's (y down); the base maps our coordinates onto it.
  [[nodiscard]] AffineTransform base() const {
    return flipped ? AffineTransform() : AffineTransform(1, 0, 0, -1, 0, static_cast<double>(height));
  }
  void useFill() { cairo_set_source_rgba(cr, paint.fill.r, paint.fill.g, paint.fill.b, paint.fill.a); }
  void useStroke() {
    cairo_set_source_rgba(cr, paint.stroke.r, paint.stroke.g, paint.stroke.b, paint.stroke.a);
  }
  void roundedRectPath(Rect rect, double rx, double ry) {
    const double x = rect.minX(), y = rect.minY(), w = rect.width(), h = rect.height();
    rx = std::clamp(rx, 0.0, w / 2);
    ry = std::clamp(ry, 0.0, h / 2);
    cairo_new_path(cr);
    if (!(rx > 0) || !(ry > 0)) {
      cairo_rectangle(cr, x, y, w, h);
      return;
    }
    const auto corner = [&](double cx, double cy, double from, double to) {
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, rx, ry);
      cairo_arc(cr, 0, 0, 1, from, to);
      cairo_restore(cr);
    };
    corner(x + w - rx, y + ry, -M_PI / 2, 0);
    corner(x + w - rx, y + h - ry, 0, M_PI / 2);
    corner(x + rx, y + h - ry, M_PI / 2, M_PI);
    corner(x + rx, y + ry, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
  }
  void ellipsePath(Rect rect) {
    cairo_new_path(cr);
    if (!(rect.width() > 0) || !(rect.height() > 0)) return;
    cairo_save(cr);
    cairo_translate(cr, rect.midX(), rect.midY());
    cairo_scale(cr, rect.width() / 2, rect.height() / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_close_path(cr);
  }
};

DrawingContext::DrawingContext(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DrawingContext::~DrawingContext() = default;

DrawingContext::Ptr DrawingContext::create(std::int64_t width, std::int64_t height, bool flipped) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
  if (cairo_surface_status(impl->surface) != CAIRO_STATUS_SUCCESS) return nullptr;
  impl->cr = cairo_create(impl->surface);
  if (cairo_status(impl->cr) != CAIRO_STATUS_SUCCESS) return nullptr;
  impl->width = width;
  impl->height = height;
  impl->flipped = flipped;
  const cairo_matrix_t base = toCairo(impl->base());
  cairo_set_matrix(impl->cr, &base);
  cairo_set_line_width(impl->cr, 1.0);
  return Ptr(new DrawingContext(std::move(impl)));
}

std::int64_t DrawingContext::width() const { return impl_->width; }
std::int64_t DrawingContext::height() const { return impl_->height; }
bool DrawingContext::isFlipped() const { return impl_->flipped; }

AffineTransform DrawingContext::transform() const {
  cairo_matrix_t m;
  cairo_get_matrix(impl_->cr, &m);
  // The base is its own inverse (a reflection plus a shift, or the identity).
  return fromCairo(m).concatenating(impl_->base());
}

void DrawingContext::concat(const AffineTransform& transform) {
  const cairo_matrix_t m = toCairo(transform);
  cairo_transform(impl_->cr, &m);
}
void DrawingContext::translateBy(double tx, double ty) { cairo_translate(impl_->cr, tx, ty); }
void DrawingContext::scaleBy(double sx, double sy) { cairo_scale(impl_->cr, sx, sy); }
void DrawingContext::rotateBy(double angle) {
  concat(AffineTransform::makeRotation(angle));
}

void DrawingContext::saveGState() {
  cairo_save(impl_->cr);
  impl_->saved.push_back(impl_->paint);
}

void DrawingContext::restoreGState() {
  if (impl_->saved.empty()) fatal("restoreGState without a matching saveGState");
  cairo_restore(impl_->cr);
  impl_->paint = impl_->saved.back();
  impl_->saved.pop_back();
}

void DrawingContext::clipToRect(Rect rect) {
  cairo_new_path(impl_->cr);
  cairo_rectangle(impl_->cr, rect.minX(), rect.minY(), rect.width(), rect.height());
  cairo_clip(impl_->cr);
}

void DrawingContext::setFillColor(const Color& color) { impl_->paint.fill = rgbaOf(color); }
void DrawingContext::setStrokeColor(const Color& color) { impl_->paint.stroke = rgbaOf(color); }
void DrawingContext::setColor(const Color& color) {
  setFillColor(color);
  setStrokeColor(color);
}
void DrawingContext::setLineWidth(double width) { cairo_set_line_width(impl_->cr, width); }
void DrawingContext::setCompositingOperation(CompositingOperation operation) {
  cairo_set_operator(impl_->cr, cairoOperator(operation));
}

void DrawingContext::clearRect(Rect rect) {
  cairo_t* cr = impl_->cr;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_new_path(cr);
  cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawingContext::fillRect(Rect rect) {
  cairo_new_path(impl_->cr);
  cairo_rectangle(impl_->cr, rect.minX(), rect.minY(), rect.width(), rect.height());
  impl_->useFill();
  cairo_fill(impl_->cr);
}

void DrawingContext::strokeRect(Rect rect) {
  cairo_new_path(impl_->cr);
  cairo_rectangle(impl_->cr, rect.minX(), rect.minY(), rect.width(), rect.height());
  impl_->useStroke();
  cairo_stroke(impl_->cr);
}

void DrawingContext::fillEllipse(Rect rect) {
  impl_->ellipsePath(rect);
  impl_->useFill();
  cairo_fill(impl_->cr);
}

void DrawingContext::strokeEllipse(Rect rect) {
  impl_->ellipsePath(rect);
  impl_->useStroke();
  cairo_stroke(impl_->cr);
}

void DrawingContext::fillRoundedRect(Rect rect, double xRadius, double yRadius) {
  impl_->roundedRectPath(rect, xRadius, yRadius);
  impl_->useFill();
  cairo_fill(impl_->cr);
}

void DrawingContext::strokeRoundedRect(Rect rect, double xRadius, double yRadius) {
  impl_->roundedRectPath(rect, xRadius, yRadius);
  impl_->useStroke();
  cairo_stroke(impl_->cr);
}

void DrawingContext::drawImage(const BitmapImage& image, Rect rect, CompositingOperation operation,
                               double fraction) {
  if (!(rect.width() > 0) || !(rect.height() > 0) || image.width() > kMaxSide || image.height() > kMaxSide) {
    return;
  }
  const int w = static_cast<int>(image.width());
  const int h = static_cast<int>(image.height());
  cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  if (cairo_surface_status(source) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(source);
    return;
  }
  // RGBA bytes to cairo's native-endian premultiplied ARGB words. The
  // fraction scales the source itself, so every operation (copy included)
  // sees a fainter image rather than a blend with what is there.
  const double opacity = std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
  const auto faded = [opacity](std::uint8_t v) -> std::uint32_t {
    return opacity == 1.0 ? v : static_cast<std::uint32_t>(std::lround(v * opacity));
  };
  unsigned char* data = cairo_image_surface_get_data(source);
  const int stride = cairo_image_surface_get_stride(source);
  for (int y = 0; y < h; ++y) {
    const auto row = image.row(y);
    auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = &row[static_cast<std::size_t>(x) * 4];
      out[x] = (faded(p[3]) << 24) | (faded(p[0]) << 16) | (faded(p[1]) << 8) | faded(p[2]);
    }
  }
  cairo_surface_mark_dirty(source);

  cairo_t* cr = impl_->cr;
  cairo_save(cr);
  // Upright: the image's top row along the rectangle's top edge.
  if (impl_->flipped) {
    cairo_translate(cr, rect.minX(), rect.minY());
    cairo_scale(cr, rect.width() / w, rect.height() / h);
  } else {
    cairo_translate(cr, rect.minX(), rect.maxY());
    cairo_scale(cr, rect.width() / w, -rect.height() / h);
  }
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_clip(cr);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_set_operator(cr, cairoOperator(operation));
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(source);
}

void DrawingContext::drawText(std::string_view text, Rect rect, const Font& font, const Color& color,
                              const TextLayout& layout) {
  cairo_t* cr = impl_->cr;
  cairo_save(cr);
  selectFont(cr, font);
  cairo_font_extents_t fontExtents;
  cairo_font_extents(cr, &fontExtents);
  const double lineStep = fontExtents.ascent + fontExtents.descent;

  std::vector<std::string> lines;
  for (const std::string& line : splitLines(text)) {
    if (layout.wrapsWords) {
      for (std::string& piece : wrapLine(cr, line, rect.width())) lines.push_back(std::move(piece));
    } else {
      lines.push_back(line);
    }
  }
  if (layout.clipsToRect) {
    cairo_new_path(cr);
    cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
    cairo_clip(cr);
  }
  if (layout.clipsToRect) {
    // Only whole lines (the first always); the last one shown ends in an
    // ellipsis when text was left out.
    const double room = rect.height() / lineStep;
    const std::size_t fitting =
        room < static_cast<double>(lines.size()) ? std::max<std::size_t>(1, static_cast<std::size_t>(std::max(room, 0.0)))
                                                 : lines.size();
    if (fitting < lines.size()) {
      lines.resize(fitting);
      lines.back() = withEllipsis(cr, lines.back(), rect.width());
    }
  }
  const Rgba c = rgbaOf(color);
  cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double down = fontExtents.ascent + static_cast<double>(i) * lineStep;
    const double lineWidth = advance(cr, lines[i]);
    double x = rect.minX();
    if (layout.alignment == TextAlignment::right) x = rect.maxX() - lineWidth;
    if (layout.alignment == TextAlignment::center) x = rect.midX() - lineWidth / 2;
    cairo_save(cr);
    if (impl_->flipped) {
      cairo_translate(cr, x, rect.minY() + down);
    } else {
      // Glyph outlines are y-down: mirror them back upright.
      cairo_translate(cr, x, rect.maxY() - down);
      cairo_scale(cr, 1, -1);
    }
    cairo_move_to(cr, 0, 0);
    cairo_show_text(cr, lines[i].c_str());
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

BitmapImage::Ptr DrawingContext::makeImage(std::int64_t bytesPerRow) const {
  const std::int64_t packed = impl_->width * 4;
  if (bytesPerRow == 0) bytesPerRow = packed;
  if (bytesPerRow < packed) {
    fatal("makeImage: " + std::to_string(bytesPerRow) + " bytes per row cannot hold " +
          std::to_string(impl_->width) + " pixels");
  }
  cairo_surface_flush(impl_->surface);
  const unsigned char* data = cairo_image_surface_get_data(impl_->surface);
  const int stride = cairo_image_surface_get_stride(impl_->surface);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(checkedMul(bytesPerRow, impl_->height)), 0);
  for (std::int64_t y = 0; y < impl_->height; ++y) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    std::uint8_t* out = bytes.data() + y * bytesPerRow;
    for (std::int64_t x = 0; x < impl_->width; ++x) {
      const std::uint32_t v = in[x];
      out[x * 4] = static_cast<std::uint8_t>(v >> 16);
      out[x * 4 + 1] = static_cast<std::uint8_t>(v >> 8);
      out[x * 4 + 2] = static_cast<std::uint8_t>(v);
      out[x * 4 + 3] = static_cast<std::uint8_t>(v >> 24);
    }
  }
  return BitmapImage::create(impl_->width, impl_->height, bytesPerRow, std::move(bytes));
}

// --- Fonts (font.h) -------------------------------------------------------------

Size measureText(std::string_view text, const Font& font) {
  thread_local Measurer measurer;
  selectFont(measurer.cr, font);
  cairo_font_extents_t fontExtents;
  cairo_font_extents(measurer.cr, &fontExtents);
  double width = 0;
  const auto lines = splitLines(text);
  for (const std::string& line : lines) width = std::max(width, advance(measurer.cr, line));
  return {width, static_cast<double>(lines.size()) * (fontExtents.ascent + fontExtents.descent)};
}

double lineHeight(const Font& font) {
  thread_local Measurer measurer;
  selectFont(measurer.cr, font);
  cairo_font_extents_t fontExtents;
  cairo_font_extents(measurer.cr, &fontExtents);
  return fontExtents.ascent + fontExtents.descent;
}

// --- The current context per thread ------------------------------------------------

namespace {
struct ThreadGraphics {
  DrawingContext::Ptr current;
  std::vector<DrawingContext::Ptr> saved;
};
ThreadGraphics& threadGraphics() {
  thread_local ThreadGraphics graphics;
  return graphics;
}
}  // namespace

DrawingContext::Ptr currentDrawingContext() { return threadGraphics().current; }

void setCurrentDrawingContext(DrawingContext::Ptr context) { threadGraphics().current = std::move(context); }

void saveGraphicsState() {
  ThreadGraphics& graphics = threadGraphics();
  if (graphics.current) graphics.current->saveGState();
  graphics.saved.push_back(graphics.current);
}

void restoreGraphicsState() {
  ThreadGraphics& graphics = threadGraphics();
  if (graphics.saved.empty()) fatal("restoreGraphicsState without a matching saveGraphicsState");
  graphics.current = std::move(graphics.saved.back());
  graphics.saved.pop_back();
  if (graphics.current) graphics.current->restoreGState();
}

}  // namespace vantrel
