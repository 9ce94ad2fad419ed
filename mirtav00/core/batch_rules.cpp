#include "mirtav00/core/batch_rules.h"

#include <cstring>

#include "common/base/core/path_text.h"

namespace mirtav {
namespace batch {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The next name of a command line from *p on (blanks before it skipped),
// quotes dropped; false when the line has ended.
bool NextName(const char** p, std::string* name) {
  const char* at = *p;
  while (IsBlank(*at)) ++at;
  if (*at == '\0') {
    *p = at;
    return false;
  }
  name->clear();
  bool quoted = false;
  for (; *at != '\0' && (quoted || !IsBlank(*at)); ++at) {
    if (*at == '"') {
      quoted = !quoted;
    } else {
      name->push_back(*at);
    }
  }
  *p = at;
  return true;
}

bool SameIgnoringAsciiCase(const std::string& a, const char* upper) {
  if (a.size() != std::strlen(upper)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (path_text::AsciiUpper(a[i]) != upper[i]) return false;
  }
  return true;
}

// Where the name of a path starts (after its last separator).
size_t NameStart(const std::string& path, bool shiftJis) {
  return static_cast<size_t>(path_text::FileNameOf(path.c_str(), shiftJis) - path.c_str());
}

std::string Number(size_t n) { return std::to_string(static_cast<unsigned long long>(n)); }

struct Words {
  const char* english;
  const char* japanese;
  const char* Pick(bool japanese) const { return japanese ? this->japanese : english; }
};

const Words kArranging = {"Arranging ", ""};
const Words kOf = {" of ", " / "};
const Words kEllipsis = {"...", " 枚目を並べています..."};
const Words kArrangedCount = {"Arranged: ", "並べ替えた画像: "};
const Words kInOrderCount = {"Already in the palette's order (left untouched): ",
                             "すでにパレットの順 (書き換えず): "};
const Words kRefusedCount = {"Refused (left untouched): ", "断った画像 (書き換えず): "};
const Words kCancelled = {"Cancelled: the files not reached (", "取り消しました. 手を付けなかった画像 ("};
const Words kCancelledEnd = {") stay as they were.", " 枚) はそのままです."};
const Words kMore = {"... and more refused files: ", "... ほかに断った画像: "};
const Words kUsage = {
    "Usage: MIRTAV00.EXE /arrange PALETTE FILE... (PALETTE a palette file; FILE a BMP or PNG picture)",
    "使い方: MIRTAV00.EXE /arrange パレット 画像... (パレット: パレットファイル, 画像: BMP か PNG の画像)"};

}  // namespace

int ExitCodeOf(const std::vector<FileResult>& results) {
  for (const FileResult& r : results) {
    if (r.outcome == Outcome::kRefused) return kExitSomeRefused;
  }
  return kExitAllDone;
}

ArrangeCommand ParseArrangeCommandLine(const char* commandLine) {
  ArrangeCommand command;
  if (commandLine == nullptr) return command;
  const char* p = commandLine;
  std::string name;
  if (!NextName(&p, &name)) return command;  // the program itself
  if (!NextName(&p, &name) || !SameIgnoringAsciiCase(name, "/ARRANGE")) return command;
  command.named = true;
  if (NextName(&p, &name)) command.palette = name;
  while (NextName(&p, &name)) {
    if (!name.empty()) command.files.push_back(name);
  }
  command.usable = !command.palette.empty() && !command.files.empty();
  return command;
}

const char* UsageText(bool japanese) { return kUsage.Pick(japanese); }

std::vector<std::string> SplitMultiSelection(const char* buffer, size_t size) {
  std::vector<std::string> parts;
  size_t at = 0;
  while (at < size && buffer[at] != '\0') {
    const void* end = std::memchr(buffer + at, '\0', size - at);
    if (end == nullptr) return std::vector<std::string>();  // cut short
    const size_t length = static_cast<size_t>(static_cast<const char*>(end) - (buffer + at));
    parts.emplace_back(buffer + at, length);
    at += length + 1;
  }
  if (at >= size) return std::vector<std::string>();  // no closing zero
  if (parts.size() <= 1) return parts;
  std::vector<std::string> paths;
  std::string folder = parts[0];
  if (folder.back() != '\\') folder += '\\';
  for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}

std::string SameNameIn(const std::string& folder, const std::string& source, bool shiftJis) {
  std::string path = folder;
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + source.substr(NameStart(source, shiftJis));
}

std::string FolderOf(const std::string& path, bool shiftJis) {
  size_t start = NameStart(path, shiftJis);
  if (start == 0) return std::string();
  // "C:\\b.bmp" keeps its root's separator; "C:\\A\\b.bmp" drops the last one.
  const bool rootOnly = start == 3 && path[1] == ':';
  return path.substr(0, rootOnly || path[start - 1] != '\\' ? start : start - 1);
}

std::string ProgressText(size_t current, size_t total, bool japanese, Convert convert) {
  return convert(kArranging.Pick(japanese)) + Number(current) + convert(kOf.Pick(japanese)) + Number(total) +
         convert(kEllipsis.Pick(japanese));
}

std::string SummaryText(const std::vector<FileResult>& results, bool cancelled, size_t notReached, bool japanese,
                        Convert convert, size_t maxListed) {
  size_t counts[3] = {};
  for (const FileResult& r : results) ++counts[static_cast<int>(r.outcome)];
  std::string text = convert(kArrangedCount.Pick(japanese)) + Number(counts[0]) + "\n";
  text += convert(kInOrderCount.Pick(japanese)) + Number(counts[1]) + "\n";
  text += convert(kRefusedCount.Pick(japanese)) + Number(counts[2]) + "\n";
  if (cancelled) {
    text += convert(kCancelled.Pick(japanese)) + Number(notReached) + convert(kCancelledEnd.Pick(japanese)) + "\n";
  }
  size_t listed = 0;
  for (const FileResult& r : results) {
    if (r.outcome != Outcome::kRefused) continue;
    if (listed == maxListed) {
      text += convert(kMore.Pick(japanese)) + Number(counts[2] - listed) + "\n";
      break;
    }
    std::string reason = r.reason;
    for (char& c : reason) c = c == '\n' || c == '\r' ? ' ' : c;
    text += r.path + ": " + reason + "\n";
    ++listed;
  }
  return text;
}

}  // namespace batch
}  // namespace mirtav
