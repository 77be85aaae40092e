#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vesk::cli {

// probe: one line per file, "FILE\tWIDTH\tHEIGHT", "FILE\tunreadable" or
// "FILE\tskipped". 1 when one was unreadable, else 0.
int runProbe(const std::vector<std::string>& files, std::ostream& out);

struct BuildOptions {
  std::string destination;
  std::string programDir;                         // empty: the folder of the executable
  std::string fromPackage;                        // an earlier exhibition.nuv, or empty
  std::vector<std::vector<std::string>> entries;  // scene, thumbnail, description
  bool replace = false;  // an earlier package in the destination is replaced safely
  bool report = false;   // the package gets its report page (vesk-report.html)
};

// build: checks the entries and the destination first (see runCheck): warnings are
// shown and the build goes on, an error stops it before anything is made. Then
// creates the package; the success message on `out`, every other message on `err`.
// 0 only when the document was written and no failure was reported.
int runBuild(const BuildOptions& options, std::ostream& out, std::ostream& err);

// check: the check made before a create, for the same options, without creating
// anything. 0 with a confirmation line on `out` when nothing was found; else the
// heading and one line per problem on `err`, and 1 when one of them is an error.
int runCheck(const BuildOptions& options, std::ostream& out, std::ostream& err);

// demo: builds the bundled sample exhibition into `destination` and summarises it.
int runDemo(const std::string& destination, std::ostream& out, std::ostream& err);

// reimport: one line per entry of the package: scene, thumbnail and description path.
int runReimport(const std::string& packageDocument, std::ostream& out, std::ostream& err);

// verify: checks a finished package: its structure, and every file against its
// manifest (every byte hashed; with `quick`, presence and sizes only). 0 with a
// confirmation line and a line on what was compared on `out` when it is sound, else 1
// with the problems on `err`.
int runVerify(const std::string& packageDocument, bool quick, std::ostream& out, std::ostream& err);

// report: writes the report page of a finished package to `outputPath` (empty: the
// report's own name at the top of the package). 0 with the path written on `out`;
// 1 with the reason on `err` when the document is no package's or a file cannot be
// read or written.
int runReport(const std::string& packageDocument, const std::string& outputPath, std::ostream& out,
              std::ostream& err);

}  // namespace vesk::cli
