// The shuffler as it describes itself to the shared framework.
#pragma once

#include "common/ui/program_description.h"

namespace mirtav {

extern const ProgramDescription kDescription;

}  // namespace mirtav
