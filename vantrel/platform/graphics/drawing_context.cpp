#include "vantrel/platform/graphics/drawing_context.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <cairo.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/thread_cache.h"
#include "vantrel/platform/graphics/internal/pixel_swizzle.h"
#include "vantrel/platform/graphics/internal/text_drawing.h"

namespace vantrel {
namespace {

constexpr std::int64_t kMaxSide = 32767;  // cairo's own limit for image surfaces

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

// The image's pixels into an ARGB32 surface of the same size, each colour
// and alpha byte scaled by `opacity` (1 copies them as they are).
void copyIntoSurface(const BitmapImage& image, cairo_surface_t* surface, double opacity) {
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const auto w = static_cast<std::size_t>(image.width());
  for (std::int64_t y = 0; y < image.height(); ++y) {
    const auto row = image.row(y);
    std::uint8_t* out = data + static_cast<std::ptrdiff_t>(y) * stride;
    graphics_internal::swapRedAndBlue(row.data(), out, w);
    if (opacity != 1.0) {
      for (std::size_t i = 0; i < w * 4; ++i) out[i] = static_cast<std::uint8_t>(std::lround(out[i] * opacity));
    }
  }
  cairo_surface_mark_dirty(surface);
}

AffineTransform fromCairo(const cairo_matrix_t& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }
cairo_matrix_t toCairo(const AffineTransform& t) {
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
  return m;
}

// The surface an image is copied into to be drawn. The last one of at most
// kMaxKeptSource bytes is kept per thread and used again for an image of the
// same size: a fresh surface of a large image costs as much in page faults
// as the copy itself. Callers destroy what they get (the kept one survives).
constexpr std::int64_t kMaxKeptSource = std::int64_t{64} << 20;

struct KeptSource {
  cairo_surface_t* surface = nullptr;
  KeptSource() = default;
  KeptSource(const KeptSource&) = delete;
  KeptSource& operator=(const KeptSource&) = delete;
  ~KeptSource() {
    if (surface != nullptr) cairo_surface_destroy(surface);
  }
};

cairo_surface_t* sourceSurface(int w, int h) {
  constinit thread_local ThreadCache<KeptSource> cache;
  KeptSource& kept = cache.get();
  // Reused only when no one else (a pattern cairo still holds) refers to it.
  if (kept.surface != nullptr && cairo_image_surface_get_width(kept.surface) == w &&
      cairo_image_surface_get_height(kept.surface) == h && cairo_surface_get_reference_count(kept.surface) == 1) {
    return cairo_surface_reference(kept.surface);
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS && std::int64_t{w} * h * 4 <= kMaxKeptSource) {
    if (kept.surface != nullptr) cairo_surface_destroy(kept.surface);
    kept.surface = cairo_surface_reference(surface);
  }
  return surface;
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

  // A fresh transparent surface with the base transform; false when cairo
  // cannot have the memory.
  bool start() {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
    cr = cairo_create(surface);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) return false;
    const cairo_matrix_t matrix = toCairo(base());
    cairo_set_matrix(cr, &matrix);
    cairo_set_line_width(cr, 1.0);
    paint = Paint();
    saved.clear();
    return true;
  }

  // The context after `takeImage` has no surface until it is used again.
  cairo_t* live() {
    if (cr == nullptr && !start()) {
      fatal("DrawingContext: no new surface of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels");
    }
    return cr;
  }
  cairo_surface_t* liveSurface() {
    live();
    return surface;
  }

  // Device space is cairo's (y down); the base maps our coordinates onto it.
  [[nodiscard]] AffineTransform base() const {
    return flipped ? AffineTransform() : AffineTransform(1, 0, 0, -1, 0, static_cast<double>(height));
  }
  void useFill() { live(); cairo_set_source_rgba(cr, paint.fill.r, paint.fill.g, paint.fill.b, paint.fill.a); }
  void useStroke() {
    live();
    cairo_set_source_rgba(cr, paint.stroke.r, paint.stroke.g, paint.stroke.b, paint.stroke.a);
  }
  void roundedRectPath(Rect rect, double rx, double ry) {
    live();
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
    live();
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
  impl->width = width;
  impl->height = height;
  impl->flipped = flipped;
  if (!impl->start()) return nullptr;
  return Ptr(new DrawingContext(std::move(impl)));
}

DrawingContext::Ptr DrawingContext::createWithImage(const BitmapImage& image, bool flipped) {
  Ptr context = create(image.width(), image.height(), flipped);
  if (context) copyIntoSurface(image, context->impl_->liveSurface(), 1.0);
  return context;
}

std::int64_t DrawingContext::width() const { return impl_->width; }
std::int64_t DrawingContext::height() const { return impl_->height; }
bool DrawingContext::isFlipped() const { return impl_->flipped; }

AffineTransform DrawingContext::transform() const {
  cairo_matrix_t m;
  cairo_get_matrix(impl_->live(), &m);
  // The base is its own inverse (a reflection plus a shift, or the identity).
  return fromCairo(m).concatenating(impl_->base());
}

void DrawingContext::concat(const AffineTransform& transform) {
  const cairo_matrix_t m = toCairo(transform);
  cairo_transform(impl_->live(), &m);
}
void DrawingContext::translateBy(double tx, double ty) { cairo_translate(impl_->live(), tx, ty); }
void DrawingContext::scaleBy(double sx, double sy) { cairo_scale(impl_->live(), sx, sy); }
void DrawingContext::rotateBy(double angle) {
  concat(AffineTransform::makeRotation(angle));
}

void DrawingContext::saveGState() {
  cairo_save(impl_->live());
  impl_->saved.push_back(impl_->paint);
}

void DrawingContext::restoreGState() {
  if (impl_->saved.empty()) fatal("restoreGState without a matching saveGState");
  cairo_restore(impl_->live());
  impl_->paint = impl_->saved.back();
  impl_->saved.pop_back();
}

void DrawingContext::clipToRect(Rect rect) {
  cairo_new_path(impl_->live());
  cairo_rectangle(impl_->live(), rect.minX(), rect.minY(), rect.width(), rect.height());
  cairo_clip(impl_->live());
}

void DrawingContext::setFillColor(const Color& color) { impl_->paint.fill = rgbaOf(color); }
void DrawingContext::setStrokeColor(const Color& color) { impl_->paint.stroke = rgbaOf(color); }
void DrawingContext::setColor(const Color& color) {
  setFillColor(color);
  setStrokeColor(color);
}
void DrawingContext::setLineWidth(double width) { cairo_set_line_width(impl_->live(), width); }
void DrawingContext::setCompositingOperation(CompositingOperation operation) {
  cairo_set_operator(impl_->live(), cairoOperator(operation));
}

void DrawingContext::clearRect(Rect rect) {
  cairo_t* cr = impl_->live();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_new_path(cr);
  cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawingContext::fillRect(Rect rect) {
  cairo_new_path(impl_->live());
  cairo_rectangle(impl_->live(), rect.minX(), rect.minY(), rect.width(), rect.height());
  impl_->useFill();
  cairo_fill(impl_->live());
}

void DrawingContext::strokeRect(Rect rect) {
  cairo_new_path(impl_->live());
  cairo_rectangle(impl_->live(), rect.minX(), rect.minY(), rect.width(), rect.height());
  impl_->useStroke();
  cairo_stroke(impl_->live());
}

void DrawingContext::fillEllipse(Rect rect) {
  impl_->ellipsePath(rect);
  impl_->useFill();
  cairo_fill(impl_->live());
}

void DrawingContext::strokeEllipse(Rect rect) {
  impl_->ellipsePath(rect);
  impl_->useStroke();
  cairo_stroke(impl_->live());
}

void DrawingContext::fillRoundedRect(Rect rect, double xRadius, double yRadius) {
  impl_->roundedRectPath(rect, xRadius, yRadius);
  impl_->useFill();
  cairo_fill(impl_->live());
}

void DrawingContext::strokeRoundedRect(Rect rect, double xRadius, double yRadius) {
  impl_->roundedRectPath(rect, xRadius, yRadius);
  impl_->useStroke();
  cairo_stroke(impl_->live());
}

void DrawingContext::drawImage(const BitmapImage& image, Rect rect, CompositingOperation operation,
                               double fraction) {
  if (!(rect.width() > 0) || !(rect.height() > 0) || image.width() > kMaxSide || image.height() > kMaxSide) {
    return;
  }
  const int w = static_cast<int>(image.width());
  const int h = static_cast<int>(image.height());
  cairo_surface_t* source = sourceSurface(w, h);
  if (cairo_surface_status(source) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(source);
    return;
  }
  // The fraction scales the source itself, so every operation (copy
  // included) sees a fainter image rather than a blend with what is there.
  copyIntoSurface(image, source, std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0));

  cairo_t* cr = impl_->live();
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
  cairo_t* cr = impl_->live();
  cairo_save(cr);
  if (layout.clipsToRect) {
    cairo_new_path(cr);
    cairo_rectangle(cr, rect.minX(), rect.minY(), rect.width(), rect.height());
    cairo_clip(cr);
  }
  const Rgba c = rgbaOf(color);
  cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
  graphics_internal::showText(cr, impl_->flipped, text, rect, font, layout);
  cairo_restore(cr);
}

BitmapImage::Ptr DrawingContext::makeImage(std::int64_t bytesPerRow) const {
  const std::int64_t packed = impl_->width * 4;
  if (bytesPerRow == 0) bytesPerRow = packed;
  if (bytesPerRow < packed) {
    fatal("makeImage: " + std::to_string(bytesPerRow) + " bytes per row cannot hold " +
          std::to_string(impl_->width) + " pixels");
  }
  cairo_surface_flush(impl_->liveSurface());
  const unsigned char* data = cairo_image_surface_get_data(impl_->liveSurface());
  const int stride = cairo_image_surface_get_stride(impl_->liveSurface());
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(checkedMul(bytesPerRow, impl_->height)), 0);
  for (std::int64_t y = 0; y < impl_->height; ++y) {
    graphics_internal::swapRedAndBlue(data + y * stride, bytes.data() + y * bytesPerRow,
                                      static_cast<std::size_t>(impl_->width));
  }
  return BitmapImage::create(impl_->width, impl_->height, bytesPerRow, std::move(bytes));
}

BitmapImage::Ptr DrawingContext::takeImage() {
  cairo_surface_t* surface = impl_->liveSurface();
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const std::int64_t width = impl_->width, height = impl_->height;
  for (std::int64_t y = 0; y < height; ++y) {
    graphics_internal::swapRedAndBlue(data + y * stride, data + y * stride, static_cast<std::size_t>(width));
  }
  // The image holds the surface (and so its memory); this context lets go
  // of it and never writes there again.
  std::shared_ptr<const void> owner(cairo_surface_reference(surface),
                                    [](const void* s) { cairo_surface_destroy(static_cast<cairo_surface_t*>(const_cast<void*>(s))); });
  BitmapImage::Ptr image = BitmapImage::adopt(
      width, height, stride,
      std::span<const std::uint8_t>(data, static_cast<std::size_t>(checkedMul(std::int64_t{stride}, height))),
      std::move(owner));
  cairo_destroy(impl_->cr);
  cairo_surface_destroy(surface);
  impl_->cr = nullptr;
  impl_->surface = nullptr;
  impl_->paint = Impl::Paint();
  impl_->saved.clear();
  return image;
}

// --- The current context per thread ------------------------------------------------

namespace {
struct ThreadGraphics {
  DrawingContext::Ptr current;
  std::vector<DrawingContext::Ptr> saved;
};
ThreadGraphics& threadGraphics() {
  constinit thread_local ThreadCache<ThreadGraphics> graphics;
  return graphics.get();
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
