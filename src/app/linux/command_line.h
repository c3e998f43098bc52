#pragma once

#include <optional>

namespace lumivo {

// --help and --version, answered on standard output before Qt starts (they need no display):
// the exit code when one was asked for, nothing when the program is to run.
std::optional<int> AnswerInformationRequest(int argc, const char* const* argv);

// Whatever Qt left of the command line after taking its own options (-display, -session...):
// the program takes no other. Reports them on standard error; the exit code when any is left.
std::optional<int> RefuseLeftoverArguments(int argc, const char* const* argv);

}  // namespace lumivo
