#pragma once

#include <string>

// The tool's help in Slovenian (UTF-8): the overview, and each command's own
// page with examples. Empty for an unknown command.
std::string overviewHelp();
std::string commandHelp(const std::string& command);
