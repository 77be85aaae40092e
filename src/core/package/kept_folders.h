#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "format/copy_record.h"
#include "package/copy_reuse.h"
#include "package/earlier_package.h"
#include "package/package_plan.h"
#include "package/package_verify.h"
#include "package/written_verify.h"

namespace vesk {

// An entry folder of the earlier package that a replace keeps where it is: the new
// package would hold exactly what it holds, under the same number.
struct KeptFolder {
  std::string name;                 // "03", its number in the new package
  std::string from;                 // its name now, at the top of the destination
  std::vector<RecordedFile> files;  // its files as the new package records them
};

// How the keep decision learns the state of the sources.
enum class SourceLook {
  Now,  // every source is looked at again
  // The plan was made just before, in the same run: its look at a source it did not
  // read (data files) serves; the sources it read after looking (scenes, pictures) are
  // looked at again, since a change while it read them would not show in its look.
  FromFreshPlan,
};

// The entry folders of the package in `destination` that a replace by `plan` may keep
// whole. A folder is kept only when it is a member of that package (packageMembers)
// under the number the plan gives it, or else under another number that no kept
// folder has (an entry that moved: its folder is renamed whole); every file the plan
// copies into it is there, a regular file still of the size and time its copy
// record lists, older than the record by more than the coarsest time granularity,
// copied from a source that is still as recorded and as the plan saw it (or that is
// this very file: a package read back); and it holds nothing else, no other file or
// folder, no link, nothing a listing cannot tell. Anything in doubt keeps nothing: the
// folder is then built anew. Each earlier entry folder is listed once, each of its
// members looked at once relative to it. Reads only.
std::vector<KeptFolder> keptEntryFolders(const PackagePlan& plan, const std::string& destination);

// keptEntryFolders of the earlier package as `earlier` found it (lookAtEarlierPackage:
// its record, its members, each entry folder listed). Looks at the sources only.
std::vector<KeptFolder> keptEntryFolders(const PackagePlan& plan, const EarlierPackage& earlier,
                                         SourceLook sources = SourceLook::Now);

// `plan` without the folders and copies below the kept folders, its totals of files
// and bytes to copy lowered by them.
PackagePlan withoutKeptFolders(PackagePlan plan, const std::vector<KeptFolder>& kept);

// The names of the kept folders, sorted.
std::vector<std::string> keptFolderNames(const std::vector<KeptFolder>& kept);

// Each kept folder's name with the full path (ending with a separator) where it lies
// in `keptIn`.
std::map<std::string, std::string> keptFolderPlaces(const std::vector<KeptFolder>& kept,
                                                    const std::string& keptIn);

// What is wrong now with the kept folders in `destination` (ending with a separator):
// a listed file missing, of another size or time than recorded, or no regular file; a
// file, folder or link that is not listed; a folder that cannot be read. Lists each
// kept folder anew and looks at every member once, relative to its folder; reads none
// but a file whose time changed, which must still hold the bytes recorded. None while
// every kept folder is as it was kept.
std::vector<PackageProblem> keptFolderProblems(const std::string& destination,
                                               const std::vector<KeptFolder>& kept);

// The pictures of `plan`'s entries by their paths relative to the package ("03\t.jpg"),
// with the size the plan measured of their sources and the document states; nothing
// for one the plan could not measure (stated "0, 0").
std::map<std::string, std::optional<PictureSize>> plannedPictureSizes(const PackagePlan& plan);

// verifyWrittenPackage of a package built beside `document` whose kept entry folders
// lie in `keptIn`: the document's outline against the members where each lies, the
// built files against `files` (the kept ones among them), the kept folders by
// keptFolderProblems. One listing of the kept folders, made now, serves both their
// check and the outline's kinds and scenes there. A kept picture is not read again:
// it holds the bytes recorded when it was copied from a source that the keep decision
// found unchanged since, after the plan measured it, and the check of the kept folders
// tells whether it still does; its size is the one `plannedPictures` holds
// (plannedPictureSizes of the plan), where that has it.
std::vector<PackageProblem> verifyWrittenWithKeptFolders(
    const WrittenDocument& document, const std::vector<RecordedFile>& files,
    const std::string& keptIn, const std::vector<KeptFolder>& kept,
    const std::map<std::string, std::optional<PictureSize>>& plannedPictures = {});

}  // namespace vesk
