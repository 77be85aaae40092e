#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace vesk::cli {

// What vesk-cli says of a command line the parser refused, in the operator's words:
// which argument is missing, which were not expected (`unexpected`, in the order given:
// the app's remaining arguments), which got the wrong number of values or a value it
// takes none of; any other refusal with the parser's own text beside it. One line,
// without the pointer to the help.
std::string commandLineComplaint(const CLI::ParseError& error,
                                 const std::vector<std::string>& unexpected);

// Gives `app` and its subcommands the help's Japanese labels and group names. Call
// after every option and subcommand has been added.
void useJapaneseHelp(CLI::App& app);

}  // namespace vesk::cli
