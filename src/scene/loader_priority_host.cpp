// The host build runs the loader in tests only; priorities stay as they are.
#include "scene/picture_loader.h"

namespace cs {

void SetLoaderThreadPriority(std::thread&, LoaderPriority) {}

}  // namespace cs
