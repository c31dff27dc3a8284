#include "vantrel/platform/kit/text_view.h"

namespace vantrel {

TextView::Ptr TextView::create(Rect frame) { return Ptr(new TextView(frame)); }

}  // namespace vantrel
