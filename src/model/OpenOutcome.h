#pragma once

namespace helan {

// What opening one of the program's own tables (the catalogue, the question type
// library) left behind. Without either table the program cannot run: on
// ProgramMustEnd the reason has been shown to the user and the caller ends the
// program.
enum class OpenOutcome { Ready, ProgramMustEnd };

} // namespace helan
