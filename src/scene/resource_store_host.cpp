#include "scene/resource_store.h"

namespace cs {

// A host program has no module resources.
const ResourceStore& ProgramResources() {
    static const MemoryResourceStore none;
    return none;
}

}  // namespace cs
