#include "vantrel/appkit/view_helpers.h"

#include <algorithm>
#include <cmath>

#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/kit/window.h"

namespace vantrel {
namespace {

bool contains(const std::vector<PasteboardType>& types, const PasteboardType& type) {
  return std::find(types.begin(), types.end(), type) != types.end();
}

// The map from a view's coordinates into its superview's (or, for a root,
// its base coordinates).
AffineTransform toParentSpace(const View& view) {
  const View::Ptr parent = view.superview();
  const Point origin = view.convertPointToView(Point(0, 0), parent.get());
  const Point unitX = view.convertPointToView(Point(1, 0), parent.get());
  const Point unitY = view.convertPointToView(Point(0, 1), parent.get());
  return AffineTransform(unitX.x - origin.x, unitX.y - origin.y, unitY.x - origin.x, unitY.y - origin.y, origin.x,
                         origin.y);
}

// Makes `context` the thread's current one for the scope, also when a
// view's drawing throws.
class CurrentContextScope {
 public:
  explicit CurrentContextScope(DrawingContext::Ptr context) : previous_(currentDrawingContext()) {
    setCurrentDrawingContext(std::move(context));
  }
  ~CurrentContextScope() { setCurrentDrawingContext(std::move(previous_)); }
  CurrentContextScope(const CurrentContextScope&) = delete;
  CurrentContextScope& operator=(const CurrentContextScope&) = delete;

 private:
  DrawingContext::Ptr previous_;
};

void render(DrawingContext& context, const View::Ptr& view, const AffineTransform& transform) {
  if (view->isHidden()) return;
  context.saveGState();
  context.concat(transform);
  const Rect bounds = view->bounds();
  context.clipToRect(bounds);
  if (const auto& layer = view->layer(); layer && layer->backgroundColor()) {
    context.setFillColor(*layer->backgroundColor());
    context.fillRect(bounds);
  }
  view->draw(bounds);
  // A copy: drawing code may rearrange the tree.
  const std::vector<View::Ptr> subviews = view->subviews();
  for (const auto& subview : subviews) render(context, subview, toParentSpace(*subview));
  context.restoreGState();
}

struct ContentOf {
  std::shared_ptr<Window> window;
  View::Ptr content;
};

ContentOf contentOf(const View& view) {
  ContentOf found{view.window(), nullptr};
  if (found.window) found.content = found.window->contentView();
  return found;
}

}  // namespace

Color::Ptr vtBackgroundColor(View& self) {
  self.setWantsLayer(true);
  const Color::Ptr& color = self.layer()->backgroundColor();
  return color ? color : Color::cyanColor();
}

void setVtBackgroundColor(View& self, const Color::Ptr& color) {
  self.setWantsLayer(true);
  self.layer()->setBackgroundColor(color);
}

void vtBackgroundColorReset(View& self) {
  self.setWantsLayer(true);
  self.layer()->setBackgroundColor(nullptr);
}

void setRegisteredDraggedTypes(View& self, const std::vector<PasteboardType>& types) {
  const std::vector<PasteboardType> current = self.registeredDraggedTypes();
  const bool dropsOne = std::any_of(current.begin(), current.end(),
                                    [&types](const PasteboardType& type) { return !contains(types, type); });
  if (dropsOne) {
    self.unregisterDraggedTypes();
    self.registerForDraggedTypes(types);
    return;
  }
  std::vector<PasteboardType> added;
  for (const auto& type : types) {
    if (!contains(current, type) && !contains(added, type)) added.push_back(type);
  }
  if (!added.empty()) self.registerForDraggedTypes(added);
}

namespace appkit_internal {

BitmapImage::Ptr renderContentView(const View& contentView) {
  const Size size = contentView.bounds().size;
  const auto width = static_cast<std::int64_t>(std::ceil(std::max(0.0, std::min(size.width, 32768.0))));
  const auto height = static_cast<std::int64_t>(std::ceil(std::max(0.0, std::min(size.height, 32768.0))));
  const DrawingContext::Ptr context = DrawingContext::create(width, height);
  if (!context) return nullptr;
  // Base coordinates put the content view's frame origin at the window's
  // origin; the picture starts at the content view's lower-left corner.
  AffineTransform transform = toParentSpace(contentView);
  transform.tx -= contentView.frame().origin.x;
  transform.ty -= contentView.frame().origin.y;
  {
    CurrentContextScope scope(context);
    render(*context, std::const_pointer_cast<View>(contentView.shared_from_this()), transform);
  }
  return context->makeImage();
}

}  // namespace appkit_internal

Image::Ptr capture(const View& self) {
  const ContentOf found = contentOf(self);
  if (!found.content) return nullptr;
  auto bitmap = appkit_internal::renderContentView(*found.content);
  if (!bitmap) return nullptr;
  auto image = Image::create(found.content->bounds().size);
  image->addRepresentation(std::move(bitmap));
  return image;
}

Color::Ptr readPixelColor(const View& self, Point point) {
  const ContentOf found = contentOf(self);
  if (!found.content) return nullptr;
  const Point base = self.convertPointToView(point, nullptr);
  const Rect frame = found.content->frame();
  const double x = base.x - frame.origin.x;
  const double y = base.y - frame.origin.y;
  // Comparisons written so that NaN fails them too.
  if (!(x >= 0 && y >= 0 && x < frame.size.width && y < frame.size.height)) return nullptr;
  const auto bitmap = appkit_internal::renderContentView(*found.content);
  if (!bitmap) return nullptr;
  const auto column = static_cast<std::int64_t>(std::floor(x));
  const auto rowFromBottom = static_cast<std::int64_t>(std::floor(y));
  if (column >= bitmap->width() || rowFromBottom >= bitmap->height()) return nullptr;
  const auto pixel = bitmap->pixelAt(column, bitmap->height() - 1 - rowFromBottom);
  if (pixel[3] == 0) return Color::withDeviceRed(0, 0, 0, 0);
  const double alpha = pixel[3];
  return Color::withDeviceRed(pixel[0] / alpha, pixel[1] / alpha, pixel[2] / alpha, alpha / 255.0);
}

VantrelDummyView::Ptr VantrelDummyView::create(const Color::Ptr& color) {
  Ptr view(new VantrelDummyView());
  setVtBackgroundColor(*view, color);
  view->setTranslatesAutoresizingMaskIntoConstraints(false);
  return view;
}

}  // namespace vantrel
