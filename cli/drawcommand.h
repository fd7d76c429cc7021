#pragma once

#include "cli/cliargs.h"

class TOptions;

// ostrel draw: items of an exercise task from the stored task descriptions,
// one a line: the phonetic letters, their Tengwar and the expected answer.
int runDraw(const CliArgs& args, const TConvertData& switches, TOptions& options);
