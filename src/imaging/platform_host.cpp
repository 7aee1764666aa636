// Host builds have no module resources and no process error mode.
#include "imaging/data_source.h"
#include "imaging/pl_exception.h"
#include "imaging/platform.h"

namespace cs {

void RestoreDefaultErrorMode() {}

ResourceSource::~ResourceSource() = default;

int ResourceSource::Open(void*, int, const char*) { return plerr::kCannotOpen; }

void ResourceSource::Close() { DataSource::Close(); }

}  // namespace cs
