#include "cli.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "commands.h"
#include "entry_options.h"
#include "vesk_version.h"

namespace vesk::cli {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"Vesk: assembles exhibition packages for the scene viewer", "vesk-cli"};
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", std::string("vesk-cli ") + kVersion, "Print the version");
  // "/data/scene.nuv" is a path, never an option, also on Windows; set before the
  // subcommands, which take the setting over.
  app.allow_windows_style_options(false);

  std::vector<std::string> probeFiles;
  auto* probe = app.add_subcommand("probe", "Print the pixel size of pictures");
  probe->add_option("FILE", probeFiles, "Picture files")->required();

  BuildOptions build;
  auto* buildCommand = app.add_subcommand("build", "Create an exhibition package");
  addEntryOptions(*buildCommand, build);

  BuildOptions check;
  auto* checkCommand =
      app.add_subcommand("check", "Report every problem a build would meet, creating nothing");
  addEntryOptions(*checkCommand, check);

  std::string demoDir = "vesk-demo";
  auto* demo = app.add_subcommand("demo", "Build the bundled sample exhibition");
  demo->add_option("DIR", demoDir, "Destination folder (default: ./vesk-demo)");

  std::string packageDocument;
  auto* reimport = app.add_subcommand("reimport", "List the entries of an earlier package");
  reimport->add_option("PACKAGE_DOC", packageDocument, "The package's exhibition.nuv")->required();

  std::string verifyDocument;
  auto* verify = app.add_subcommand("verify", "Check a finished package");
  verify->add_option("PACKAGE_DOC", verifyDocument, "The package's exhibition.nuv")->required();
  bool verifyQuick = false;
  verify->add_flag("--quick", verifyQuick,
                   "Compare the files' presence and sizes with the manifest, not their hashes");

  std::string reportDocument;
  std::string reportOut;
  auto* report = app.add_subcommand("report", "Write the report page of a finished package");
  report->add_option("PACKAGE_DOC", reportDocument, "The package's exhibition.nuv")->required();
  report->add_option("--out", reportOut,
                     "Where to write the page (default: vesk-report.html in the package)");

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << '\n';
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "vesk-cli: " << e.what() << "\nRun 'vesk-cli --help' for usage.\n";
    return 2;
  }

  for (const auto& entry : checkCommand->parsed() ? check.entries : build.entries) {
    if (entry.size() != 3) {
      err << "vesk-cli: --entry takes three paths: SCENE THUMB DESC\n"
          << "Run 'vesk-cli --help' for usage.\n";
      return 2;
    }
  }

  if (probe->parsed()) return runProbe(probeFiles, out);
  if (buildCommand->parsed()) return runBuild(build, out, err);
  if (checkCommand->parsed()) return runCheck(check, out, err);
  if (demo->parsed()) return runDemo(demoDir, out, err);
  if (reimport->parsed()) return runReimport(packageDocument, out, err);
  if (verify->parsed()) return runVerify(verifyDocument, verifyQuick, out, err);
  if (report->parsed()) return runReport(reportDocument, reportOut, out, err);
  return 2;
}

}  // namespace vesk::cli
