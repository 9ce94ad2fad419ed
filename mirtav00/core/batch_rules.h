// Arranging many pictures to one palette file, without the window system:
// the /arrange command line read into its palette and files, the open
// dialog's multiple selection split into paths, the same name in another
// folder, the words of the progress window and the summary a run ends with,
// and the command line's exit code. Paths and refusal texts are bytes of the
// system's code page, put in as they are; the fixed words are UTF-8 and go
// through the caller's conversion.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mirtav {
namespace batch {

enum class Outcome {
  kArranged,  // the table took the palette's order and the file was replaced
  kInOrder,   // the table stood in the palette's order already: the file was not written
  kRefused,   // the file stays as it was; reason says why
};

struct FileResult {
  Outcome outcome;
  std::string path;    // as the user named it, made full
  std::string reason;  // the message the one-picture commands show for it (refused only)
};

// The exit codes of /arrange.
constexpr int kExitAllDone = 0;    // every file arranged or already in order
constexpr int kExitSomeRefused = 1;
constexpr int kExitUsage = 2;      // no palette, no file, or a palette file that cannot be read

int ExitCodeOf(const std::vector<FileResult>& results);

// The command line after the program's own name: "/arrange" (any letter
// case) first, then the palette file, then the pictures. Names may be quoted
// (a quote toggles, and is dropped, anywhere in a name) so that they may hold
// blanks. named: the line asks for /arrange at all; usable: it names a
// palette and at least one picture.
struct ArrangeCommand {
  bool named = false;
  bool usable = false;
  std::string palette;
  std::vector<std::string> files;
};
ArrangeCommand ParseArrangeCommandLine(const char* commandLine);

// The line printed on a usage error, UTF-8.
const char* UsageText(bool japanese);

// An open dialog's answer with OFN_ALLOWMULTISELECT | OFN_EXPLORER in a
// buffer of `size` bytes: one full path, or the folder followed by the names
// (each ended by a zero, the list by a second one). The full paths, in the
// order given; none from an empty or unterminated buffer.
std::vector<std::string> SplitMultiSelection(const char* buffer, size_t size);

// The path of source's name in folder (folder "C:\\OUT" or "C:\\OUT\\").
std::string SameNameIn(const std::string& folder, const std::string& source, bool shiftJis);

// The folder part of a path, without its last separator ("C:\\A\\b.bmp" gives
// "C:\\A"; "C:\\b.bmp" gives "C:\\").
std::string FolderOf(const std::string& path, bool shiftJis);

// Converts a UTF-8 text of the table to the text the caller shows (the
// system's code page in the programs, UTF-8 unchanged in the tests).
using Convert = std::string (*)(const char* utf8);

// "Arranging 3 of 200..."
std::string ProgressText(size_t current, size_t total, bool japanese, Convert convert);

// The summary: how many were arranged, already in order and refused, a line
// with the files not reached when the run was cancelled (notReached of
// them), then one line per refused file ("path: reason", a reason's line
// breaks made blanks). At most maxListed files are listed, then how many more
// were refused. Lines end with "\n".
std::string SummaryText(const std::vector<FileResult>& results, bool cancelled, size_t notReached, bool japanese,
                        Convert convert, size_t maxListed);

}  // namespace batch
}  // namespace mirtav
