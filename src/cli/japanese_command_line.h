#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace vesk::cli {

// What vesk-cli says of a command line the parser refused, in the operator's words:
// which argument is missing, which were not expected, which got the wrong number of
// values; any other refusal with the parser's own text beside it. One line, without
// the pointer to the help.
std::string commandLineComplaint(const CLI::ParseError& error);

// Gives `app` and its subcommands the help's Japanese labels and group names. Call
// after every option and subcommand has been added.
void useJapaneseHelp(CLI::App& app);

}  // namespace vesk::cli
