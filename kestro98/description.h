// The colour editor as it describes itself to the shared framework.
#pragma once

#include "common/ui/program_description.h"

namespace kestro {

extern const ProgramDescription kDescription;

}  // namespace kestro
