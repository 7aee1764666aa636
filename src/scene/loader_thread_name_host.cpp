// The host build runs the loader in tests only; its thread keeps the name it has.
#include "scene/picture_loader.h"

namespace cs {

void NameThisThreadAsLoader() {}

}  // namespace cs
