#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "base/text_rooms.h"
#include "base/volume_info.h"
#include "image/image_probe.h"
#include "model/exhibition_entry.h"
#include "package/build_progress.h"
#include "package/scene_files.h"
#include "package/undo_places.h"

namespace vesk {

// How much a problem found before a create matters.
enum class CheckSeverity {
  Error,    // the create would fail or lose something: it is not started
  Warning,  // the package works, but probably not as meant
};

// What the check before a create can find.
enum class CheckFault {
  // Errors
  SourceMissing,         // a scene, picture or data file/folder named by an entry is missing
  SourceUnreadable,      // it exists but cannot be read
  SourceNotRegular,      // it is not a regular file (or, for a data folder, not a folder)
  Collision,             // two different files would land on one path of an entry folder
  UnencodableCharacter,  // a name or scene text holds a character code page 932 cannot hold
  UnwritableName,        // a picture name the document cannot quote (double quote, line break)
  TooManyElements,       // a scene with more data elements or draw groups than a package takes
  NotEnoughSpace,        // the destination lacks the free space for the bytes to copy
  EarlierPackage,        // the destination holds an earlier package and it is not being replaced
  Cancelled,             // the check was cancelled before it had looked at every entry
  DestinationUnusable,   // the destination cannot be made or written (a file, read-only, ...)
  NameTooLong,           // a name longer than the destination's file system takes
  PathTooLong,           // a path longer than the destination's file system takes
  UnusableCharacter,     // a data path with a byte no file system takes (NUL)
  UnclosedData,          // a draw group holding "<data" without "</data>": misread document
  DocumentMismatch,      // the finished package would fail its own verify
  // Warnings
  PictureSizeUnknown,      // a picture whose size cannot be read
  ThumbnailNotLandscape,   // a thumbnail higher than wide
  DescriptionNotPortrait,  // a description picture wider than high
  NoTopGroup,              // a scene without a "Sur" group: the menu jumps nowhere
  TopGroupUnnumbered,      // its "Sur" group keeps its own name: the menu jumps nowhere
  ReimportTakesOther,      // reading the package back would take another file for a role
  NameWindowsCannotHold,   // a reserved name, trailing dot/blank, <>:"|?* or a path over 260
  DuplicateScene,          // the same scene is listed twice
  UndecodableBytesJoined,  // the merge put an undecodable byte of the scene before a byte it
                           // pairs with: the document reads back otherwise there
  InterruptedWork,         // a killed create or replace waits in the destination: the build
                           // finishes or undoes it first
  DataElementWithoutPath,  // a data element naming no file: the scene's whole folder is copied
  StrayEntryFolder,        // a two-digit folder in the destination the package does not own:
                           // the package's verify reports it
};

// The part of an entry a problem concerns; None for the destination itself.
enum class CheckRole { None, Scene, Thumbnail, Description, DataFile, DataFolder };

// One problem: its severity and kind, the entry (number from 0, -1 for none), the role
// and path concerned, and the operator's line for it (UTF-8, in the system's style).
struct CheckProblem {
  CheckSeverity severity = CheckSeverity::Error;
  CheckFault fault = CheckFault::SourceMissing;
  int entryNumber = -1;
  CheckRole role = CheckRole::None;
  std::string path;
  std::string text;
};

// A picture's size, read from its header (probeImageSize, or a counting one in tests).
using PictureProbe = std::function<Result<PictureSize>(const std::string& path)>;

// The free bytes of the file system holding `folder`; nothing when unknown.
using FreeSpaceProbe = std::function<std::optional<std::uint64_t>(const std::string& folder)>;

// What the check is given: the entries as registered, the destination folder (which
// may not exist yet) and whether an earlier package there is to be replaced.
struct CheckRequest {
  std::vector<ExhibitionEntry> entries;
  std::string destination;
  bool replacing = false;
  // `destination` is the run's own working folder (see CreateRequest::ownWorkingFolder).
  bool ownWorkingFolder = false;
  bool windowsNames = true;  // warn about names a Windows kiosk cannot hold
  bool withReport = false;   // the create also writes the report page into the package
  // Empty: each scene file is read directly (readSceneText). Called on the plan's two
  // threads (the caller's and one of its own), one call at a time.
  SceneReader readScene = nullptr;
  // Where scenes' texts are built, so that a run reuses their memory; null: fresh memory.
  TextRooms* textRooms = nullptr;
  FreeSpaceProbe freeSpace;                                     // empty: the volume's
  std::function<VolumeInfo(const std::string& folder)> volume;  // empty: volumeInfoOf
  // Empty: probeImageSize. Called like readScene, one call at a time, once a picture.
  PictureProbe probePicture;
  std::string programFolder;  // holds up.jpg and down.jpg; empty: the running program's folder
  // Told the entries as the items of the work (started(0, entry count), advanced(0,
  // entries done)) and asked before each entry whether to stop.
  BuildProgress* progress = nullptr;
  // Where the parts of a package in the destination lie until the create undoes the run
  // a kill interrupted there (null: where they are): a scene read from there is told a
  // copy of that package as it will be after the undo.
  const UndoPlaces* undoPlaces = nullptr;
};

// Every problem a create of `request.entries` into `request.destination` would meet,
// errors and warnings in entry order, found before anything is written: the problems
// of planPackage (package_plan.h). Reads only.
//
// Problems of no entry (number -1: an earlier package in the way, missing button
// images, too little free space, a document path too long for Windows) come first.
// Each scene is read once; every source, and every file of a data folder, is looked
// at once (one status query; a data folder is listed once however often it is named).
// Bytes to copy count every regular file a create copies, button images included.
// A check cancelled through `request.progress` stops before the next entry and
// reports a Cancelled error, so that its verdict never lets a create go on.
// Problems of no entry (number -1: an earlier package in the way, a destination that
// cannot be made, missing button images, too little free space, a document path too
// long for Windows) come first.
std::vector<CheckProblem> checkPackage(const CheckRequest& request);

// True when one of `problems` is an error.
bool hasCheckErrors(const std::vector<CheckProblem>& problems);

// How many of `problems` are warnings.
std::size_t checkWarningCount(const std::vector<CheckProblem>& problems);

// The problems as the operator reads them: a heading (for errors when there is one,
// else for warnings), then each problem's line in order. Empty for no problems.
std::string checkReportText(const std::vector<CheckProblem>& problems);

// The free bytes of the file system holding `folder` or, when it does not exist yet,
// its nearest existing parent; nothing when unknown.
std::optional<std::uint64_t> systemFreeSpace(const std::string& folder);

}  // namespace vesk
