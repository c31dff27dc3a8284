#include "vantrel/platform/kit/internal/x11_queries.h"

#if VANTREL_WITH_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/desktop/internal/server_calls.h"
#include "vantrel/platform/desktop/internal/x11_connection.h"
#endif

namespace vantrel::kit_internal {

#if VANTREL_WITH_X11
namespace {

using desktop_internal::X11Connection;

// Errors on the kit's own connection answer its requests (a window that is
// gone, an area outside the root): the question fails, as it does when the
// server goes away.
bool failed(X11Connection& c) { return c.takeError() != 0 || c.isLost(); }

// The first 32-bit item of a window property of the given type.
std::optional<unsigned long> firstPropertyItem(X11Connection& c, Window window, const char* name, Atom type) {
  const Atom property = XInternAtom(c.display(), name, True);
  if (property == None || !c.isOpen()) return std::nullopt;
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(c.display(), window, property, 0, 1, False, type, &actualType,
                                        &actualFormat, &count, &after, &data);
  std::optional<unsigned long> value;
  if (status == Success && !failed(c) && data != nullptr && actualType == type && actualFormat == 32 &&
      count >= 1) {
    // Xlib hands 32-bit items out as longs.
    value = reinterpret_cast<const unsigned long*>(data)[0];
  }
  if (data != nullptr) XFree(data);
  return value;
}

std::vector<X11Area> monitorAreas(X11Connection& c) {
  Display* display = c.display();
  const Window root = DefaultRootWindow(display);
  std::vector<X11Area> areas;
  int eventBase = 0;
  int errorBase = 0;
  if (XRRQueryExtension(display, &eventBase, &errorBase)) {
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (monitors != nullptr) {
      if (!failed(c)) {
        for (int i = 0; i < count; ++i) {
          const XRRMonitorInfo& m = monitors[i];
          if (m.width <= 0 || m.height <= 0) continue;
          areas.push_back(X11Area{m.x, m.y, m.width, m.height, m.primary != 0});
        }
      }
      XRRFreeMonitors(monitors);
    }
  }
  if (areas.empty() && c.isOpen()) {
    const int screen = DefaultScreen(display);
    areas.push_back(X11Area{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen), true});
  }
  return areas;
}

// The 8-bit value of the channel that `mask` selects.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  const unsigned long bits = mask >> shift;
  const unsigned long value = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>(value * 255u / bits);
}

std::optional<std::int64_t> askActiveWindowProcessIdentifier(const std::string& displayName) {
  X11Connection c(displayName);
  if (!c.isOpen()) return std::nullopt;
  const auto active = firstPropertyItem(c, DefaultRootWindow(c.display()), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  if (!active || *active == None) return std::nullopt;
  const auto pid = firstPropertyItem(c, static_cast<Window>(*active), "_NET_WM_PID", XA_CARDINAL);
  if (!pid || *pid == 0 || *pid > 0x7fffffffu) return std::nullopt;
  return static_cast<std::int64_t>(*pid);
}

std::optional<std::vector<X11Area>> askMonitorAreas(const std::string& displayName) {
  X11Connection c(displayName);
  if (!c.isOpen()) return std::nullopt;
  auto areas = monitorAreas(c);
  if (!c.isOpen()) return std::nullopt;
  return areas;
}

std::optional<DisplayImage> askCaptureMonitor(const std::string& displayName, std::uint32_t index) {
  X11Connection c(displayName);
  if (!c.isOpen()) return std::nullopt;
  const auto areas = monitorAreas(c);
  if (index >= areas.size() || !c.isOpen()) return std::nullopt;
  const X11Area& area = areas[index];
  XImage* image = XGetImage(c.display(), DefaultRootWindow(c.display()), area.x, area.y,
                            static_cast<unsigned>(area.width), static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  if (image == nullptr || failed(c)) {
    if (image != nullptr) XDestroyImage(image);
    return std::nullopt;
  }
  DisplayImage result;
  result.width = image->width;
  result.height = image->height;
  result.rgba.resize(static_cast<std::size_t>(result.width) * static_cast<std::size_t>(result.height) * 4);
  std::uint8_t* out = result.rgba.data();
  const bool direct32 = image->bits_per_pixel == 32;
  for (int y = 0; y < image->height; ++y) {
    const auto* row = reinterpret_cast<const std::uint8_t*>(image->data) + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
    for (int x = 0; x < image->width; ++x) {
      unsigned long pixel = 0;
      if (direct32) {
        const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 4;
        pixel = image->byte_order == LSBFirst
                    ? (unsigned long)p[0] | ((unsigned long)p[1] << 8) | ((unsigned long)p[2] << 16) |
                          ((unsigned long)p[3] << 24)
                    : (unsigned long)p[3] | ((unsigned long)p[2] << 8) | ((unsigned long)p[1] << 16) |
                          ((unsigned long)p[0] << 24);
      } else {
        pixel = XGetPixel(image, x, y);
      }
      *out++ = channel(pixel, image->red_mask);
      *out++ = channel(pixel, image->green_mask);
      *out++ = channel(pixel, image->blue_mask);
      *out++ = 255;
    }
  }
  XDestroyImage(image);
  return result;
}

// Each question waits on a thread of its own: a server that stops
// answering holds that thread, not the caller (see server_calls.h).
desktop_internal::ServerCalls& serverCalls() {
  static NoDestructor<desktop_internal::ServerCalls> calls;
  return *calls;
}

}  // namespace

std::optional<std::int64_t> activeWindowProcessIdentifier(const std::string& displayName) {
  return serverCalls()
      .ask([displayName] { return askActiveWindowProcessIdentifier(displayName); }, desktop_internal::kServerAnswerLimit)
      .value_or(std::nullopt);
}

std::optional<std::vector<X11Area>> x11MonitorAreas(const std::string& displayName) {
  return serverCalls()
      .ask([displayName] { return askMonitorAreas(displayName); }, desktop_internal::kServerAnswerLimit)
      .value_or(std::nullopt);
}

std::optional<DisplayImage> x11CaptureMonitor(const std::string& displayName, std::uint32_t index) {
  return serverCalls()
      .ask([displayName, index] { return askCaptureMonitor(displayName, index); }, desktop_internal::kServerAnswerLimit)
      .value_or(std::nullopt);
}

#else

std::optional<std::int64_t> activeWindowProcessIdentifier(const std::string&) { return std::nullopt; }
std::optional<std::vector<X11Area>> x11MonitorAreas(const std::string&) { return std::nullopt; }
std::optional<DisplayImage> x11CaptureMonitor(const std::string&, std::uint32_t) { return std::nullopt; }

#endif

}  // namespace vantrel::kit_internal
