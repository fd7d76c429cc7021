#pragma once

#include "cli/cliargs.h"

// ostrel transcribe [FILE...]: every line of Latin text in Tengwar, streamed
// from the files (or the standard input) to the standard output.
int runTranscribe(const CliArgs& args, const TConvertData& switches);
