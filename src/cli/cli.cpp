#include "cli.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "commands.h"
#include "entry_options.h"
#include "japanese_command_line.h"
#include "messages/command_line_texts.h"
#include "messages/message_template.h"
#include "vesk_version.h"

namespace vesk::cli {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{kCliDescription, "vesk-cli"};
  app.require_subcommand(1, 1);
  app.set_help_flag("-h,--help", kCliHelpFlag);
  app.set_version_flag("--version", std::string("vesk-cli ") + kVersion, kCliVersionFlag);
  app.footer(kCliHelpFooter);
  // "/data/scene.nuv" is a path, never an option, also on Windows; set before the
  // subcommands, which take the setting over.
  app.allow_windows_style_options(false);

  std::vector<std::string> probeFiles;
  auto* probe = app.add_subcommand("probe", kCliProbe);
  probe->add_option("FILE", probeFiles, kCliProbeFiles)->required()->type_name("");

  BuildOptions build;
  auto* buildCommand = app.add_subcommand("build", kCliBuild);
  addEntryOptions(*buildCommand, build);

  BuildOptions check;
  auto* checkCommand = app.add_subcommand("check", kCliCheck);
  addEntryOptions(*checkCommand, check);

  std::string demoDir = "vesk-demo";
  auto* demo = app.add_subcommand("demo", kCliDemo);
  demo->add_option("DIR", demoDir, kCliDemoFolder)->type_name("");

  std::string packageDocument;
  auto* reimport = app.add_subcommand("reimport", kCliReimport);
  reimport->add_option("PACKAGE_DOC", packageDocument, kCliPackageDocument)
      ->required()
      ->type_name("");

  std::string verifyDocument;
  auto* verify = app.add_subcommand("verify", kCliVerify);
  verify->add_option("PACKAGE_DOC", verifyDocument, kCliPackageDocument)->required()->type_name("");
  bool verifyQuick = false;
  verify->add_flag("--quick", verifyQuick, kCliVerifyQuick);

  std::string reportDocument;
  std::string reportOut;
  auto* report = app.add_subcommand("report", kCliReport);
  report->add_option("PACKAGE_DOC", reportDocument, kCliPackageDocument)->required()->type_name("");
  report->add_option("--out", reportOut, kCliReportOut)->type_name("FILE");

  useJapaneseHelp(app);

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
    err << commandLineComplaint(e, app.remaining(true)) << '\n' << kCliSeeHelp << '\n';
    return 2;
  }

  const BuildOptions& given = checkCommand->parsed() ? check : build;
  for (const auto& entry : given.entries) {
    if (entry.size() != 3) {
      err << kCliEntryValues << '\n' << kCliSeeHelp << '\n';
      return 2;
    }
  }
  // An empty folder name names no folder (not the current one).
  if ((checkCommand->parsed() || buildCommand->parsed()) && given.destination.empty()) {
    err << fillTemplate(kCliArgumentMissing, {{"name", "--dest"}}) << '\n' << kCliSeeHelp << '\n';
    return 2;
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
