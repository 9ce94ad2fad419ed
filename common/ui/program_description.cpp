#include "common/ui/program_description.h"

const ProgramDescription* runningProgram = nullptr;

void AdoptProgram(const ProgramDescription& program) {
  runningProgram = &program;
  UseTiffWriterMessages(*program.tiffMessages);
}
