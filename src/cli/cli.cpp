#include "cli.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "commands.h"

namespace vesk::cli {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"Vesk: assembles exhibition packages for the scene viewer", "vesk-cli"};
  app.require_subcommand(1);

  std::vector<std::string> probeFiles;
  auto* probe = app.add_subcommand("probe", "Print the pixel size of pictures");
  probe->add_option("FILE", probeFiles, "Picture files")->required();

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "vesk-cli: " << e.what() << "\n" << "Run 'vesk-cli --help' for usage.\n";
    return 2;
  }

  if (probe->parsed()) return runProbe(probeFiles, out);
  return 2;
}

}  // namespace vesk::cli
