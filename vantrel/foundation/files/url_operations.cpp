#include "vantrel/foundation/files/url_operations.h"

#include "vantrel/core/coding_aids.h"
#include "vantrel/foundation/files/file_operations.h"
#include "vantrel/foundation/files/file_queries.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

bool isImageUrl(const URL& self) {
  const std::string extension = lowercased(self.pathExtension());
  return extension == "jpg" || extension == "png" || extension == "jpeg";
}

URL appendingPathComponents(const URL& self, const std::vector<std::string>& components) {
  URL url = self;
  for (const std::string& component : components) url = url.appendingPathComponent(component);
  return url;
}

URL replacingLastPathComponent(const URL& self, std::string_view component) {
  return self.deletingLastPathComponent().appendingPathComponent(component);
}

URL replacingPathExtension(const URL& self, std::string_view extension) {
  return self.deletingPathExtension().appendingPathExtension(extension);
}

URL ensureExistence(const URL& self) {
  if (self.isFileURL()) {
    (void)ensureDirExists(Fm(), self);
  } else {
    VantrelCoding::importantLog("Couldn't create dir " + self.path() + ": " + self.absoluteString() +
                                " is not a file URL");
  }
  return self;
}

}  // namespace vantrel
