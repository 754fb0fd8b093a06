// velacor-cli's entry: global options, then one command.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velacor::cli {

// `args` excludes the program name. Returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velacor::cli
