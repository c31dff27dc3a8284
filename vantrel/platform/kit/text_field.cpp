#include "vantrel/platform/kit/text_field.h"

namespace vantrel {

TextField::Ptr TextField::create(Rect frame) { return Ptr(new TextField(frame)); }

}  // namespace vantrel
