#pragma once

#include "cli/cliargs.h"

// ostrel convert IN.txt OUT.rtf: the RTF document of a text file, the same as
// the program's "Pretvorba datotek" page writes.
int runConvert(const CliArgs& args, const TConvertData& switches);
