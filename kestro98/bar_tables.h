// The colour editor's icon bar, hover captions, start-up logo and reading of
// the newer Windows versions, as the shared framework takes them. Portable:
// the native tests read the same tables.
#pragma once

#include "common/ui/core/program_look.h"

namespace kestro {

extern const ui_core::ProgramLook kLook;

}  // namespace kestro
