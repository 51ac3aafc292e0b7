#include "game/KeptGame.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

#include "game/ScoreboardGame.h"
#include "settings/RegExportFormat.h"
#include "settings/WholeFile.h"
#include "sign/SignText.h"

namespace {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kFormatVersion = 1;

constexpr std::string_view kGameKey = "Game";
constexpr std::string_view kNoteKey = "Game\\Note";
constexpr std::string_view kShownNoteKey = "Game\\Shown note";
constexpr std::string_view kHistoryKey = "Game\\History";
constexpr std::array<std::string_view, 4> kKeys = {kGameKey, kNoteKey, kShownNoteKey, kHistoryKey};
// The values of the game key, every one of them required.
constexpr std::array<std::string_view, 15> kGameValues = {"Format",
                                                          "Last change",
                                                          "Team 1",
                                                          "Team 1 score",
                                                          "Team 1 name colour",
                                                          "Team 1 score colour",
                                                          "Team 2",
                                                          "Team 2 score",
                                                          "Team 2 name colour",
                                                          "Team 2 score colour",
                                                          "Note colour",
                                                          "Note size",
                                                          "Showing",
                                                          "Shown note colour",
                                                          "Shown note size"};

constexpr std::array<std::string_view, 8> kColors = {"Red",       "Green", "Amber",  "Dim Red",
                                                     "Dim Green", "Brown", "Orange", "Yellow"};
constexpr std::array<std::string_view, 2> kSizes = {"Normal", "Giant"};
constexpr std::array<std::string_view, 3> kShowingNames = {"Nothing", "Scoreboard", "Note"};
constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};

template <std::size_t N>
bool IsOneOf(const std::array<std::string_view, N>& names, std::string_view value) {
  return std::find(names.begin(), names.end(), value) != names.end();
}

CRegValue Text(std::string_view name, std::string_view text) {
  CRegValue value{std::string(name), kRegSz, {text.begin(), text.end()}};
  value.data.push_back(0);
  return value;
}

CRegValue Number(std::string_view name, std::uint32_t number) {
  CRegValue value{std::string(name), kRegDword, {}};
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<unsigned char>(number >> (8 * i)));
  return value;
}

// The pieces' names are new and distinct, so they are appended without the
// search a replacing SetValue makes: a long history costs no more than its
// length.
void SetLines(CRegHive& hive, std::string_view key, std::string_view text) {
  std::vector<CRegValue>& values = hive.CreateKey(key).values;
  values.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  for (;;) {
    const std::size_t end = text.find('\n');
    values.push_back(Text(std::to_string(values.size() + 1), text.substr(0, end)));
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

std::string LocalTimeText(const std::tm& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

// "YYYY-MM-DD HH:MM:SS" with a date that exists and a time of day.
std::optional<std::tm> ParseLocalTime(std::string_view text) {
  if (text.size() != 19) return std::nullopt;
  auto number = [&](std::size_t at, std::size_t digits) -> int {
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
      if (text[i] < '0' || text[i] > '9') return -1;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  if (text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
    return std::nullopt;
  std::tm t{};
  const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
  t.tm_hour = number(11, 2);
  t.tm_min = number(14, 2);
  t.tm_sec = number(17, 2);
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (year < 0 || !date.ok() || t.tm_hour < 0 || t.tm_hour > 23 || t.tm_min < 0 || t.tm_min > 59 ||
      t.tm_sec < 0 || t.tm_sec > 60)
    return std::nullopt;
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  return t;
}

// A text's bytes and its one closing zero; a zero inside would cut it.
bool IsText(const CRegValue& value) {
  return value.type == kRegSz && !value.data.empty() && value.data.back() == 0 &&
         std::find(value.data.begin(), value.data.end(), 0) == value.data.end() - 1;
}

// Reads the parsed file's values, each checked as it is taken; the first
// fault is kept and every later read fails.
class CKeptGameReader {
 public:
  CKeptGameReader(const CRegHive& hive, std::string& problem) : hive_(hive), problem_(problem) {}

  bool Ok() const { return problem_.empty(); }
  void Fail(std::string_view name, std::string_view what) {
    if (Ok()) problem_ = "the value \"" + std::string(name) + "\" " + std::string(what);
  }

  std::string Text(std::string_view name, std::string_view key = kGameKey) {
    const CRegValue* value = hive_.FindValue(key, name);
    if (!Ok()) return {};
    if (value == nullptr) {
      Fail(name, "is missing");
      return {};
    }
    if (!IsText(*value)) {
      Fail(name, "is not a text");
      return {};
    }
    return {value->data.begin(), value->data.end() - 1};
  }

  int Number(std::string_view name, int highest) {
    const CRegValue* value = hive_.FindValue(kGameKey, name);
    if (!Ok()) return 0;
    if (value == nullptr || value->type != kRegDword || value->data.size() != 4) {
      Fail(name, value == nullptr ? "is missing" : "is not a dword");
      return 0;
    }
    const std::uint32_t number = value->data[0] | (value->data[1] << 8) | (value->data[2] << 16) |
                                 (static_cast<std::uint32_t>(value->data[3]) << 24);
    if (number > static_cast<std::uint32_t>(highest)) {
      Fail(name, "is out of range (0 to " + std::to_string(highest) + ")");
      return 0;
    }
    return static_cast<int>(number);
  }

  template <std::size_t N>
  std::string OneOf(std::string_view name, const std::array<std::string_view, N>& names,
                    std::string_view what) {
    std::string text = Text(name);
    if (Ok() && !IsOneOf(names, text)) Fail(name, what);
    return text;
  }

  // The pieces stand in the order written, "1", "2", ...
  std::string Lines(std::string_view key, std::size_t limit) {
    const CRegKey* found = hive_.FindKey(key);
    std::string text;
    if (!Ok() || found == nullptr) return text;
    const std::string name = std::string(key) + "\\";
    if (found->values.empty()) Fail(name + "1", "is missing");
    for (std::size_t piece = 1; Ok() && piece <= found->values.size(); ++piece) {
      const CRegValue& value = found->values[piece - 1];
      const std::string pieceName = std::to_string(piece);
      if (value.name != pieceName) {
        Fail(name + value.name, "stands where \"" + pieceName + "\" belongs");
      } else if (!IsText(value)) {
        Fail(name + pieceName, "is not a text");
      } else {
        if (piece > 1) text += '\n';
        text.append(value.data.begin(), value.data.end() - 1);
      }
    }
    if (Ok() && text.size() > limit) Fail(key, "is longer than the note box takes");
    return Ok() ? text : std::string();
  }

 private:
  const CRegHive& hive_;
  std::string& problem_;
};

// Only the keys and values this program writes: a file with others is not
// one it wrote, and is not taken in part. Missing values are found as they
// are read.
std::string StrayEntry(const CRegHive& hive) {
  for (const CRegKey& key : hive.Keys()) {
    const bool known = std::any_of(kKeys.begin(), kKeys.end(), [&](std::string_view name) {
      return hive.FindKey(name) == &key;
    });
    if (!known) return "a key [" + key.path + "] that no kept game has";
  }
  const CRegKey* game = hive.FindKey(kGameKey);
  if (game == nullptr) return "the key [" + std::string(kGameKey) + "] is missing";
  for (const CRegValue& value : game->values) {
    const bool known = std::any_of(
        kGameValues.begin(), kGameValues.end(),
        [&](std::string_view name) { return hive.FindValue(kGameKey, name) == &value; });
    if (!known) return "a value \"" + value.name + "\" that no kept game has";
  }
  return {};
}

std::chrono::year_month_day DateOf(const std::tm& t) {
  return {std::chrono::year(t.tm_year + 1900),
          std::chrono::month(static_cast<unsigned>(t.tm_mon + 1)),
          std::chrono::day(static_cast<unsigned>(t.tm_mday))};
}

}  // namespace

std::string FormatKeptGame(const CKeptGameRecord& game) {
  const CGameFields& f = game.fields;
  CRegHive hive;
  for (CRegValue value :
       {Number("Format", kFormatVersion), Text("Last change", LocalTimeText(game.lastChange)),
        Text("Team 1", f.team1Abbrev), Number("Team 1 score", f.team1Score),
        Text("Team 1 name colour", f.team1NameColor),
        Text("Team 1 score colour", f.team1ScoreColor), Text("Team 2", f.team2Abbrev),
        Number("Team 2 score", f.team2Score), Text("Team 2 name colour", f.team2NameColor),
        Text("Team 2 score colour", f.team2ScoreColor), Text("Note colour", f.noteColor),
        Text("Note size", f.noteSize),
        Text("Showing", kShowingNames[static_cast<std::size_t>(game.showing)]),
        Text("Shown note colour", game.shownNote.color),
        Text("Shown note size", game.shownNote.size)}) {
    hive.SetValue(kGameKey, std::move(value));
  }
  SetLines(hive, kNoteKey, f.noteText);
  SetLines(hive, kShownNoteKey, game.shownNote.text);
  SetLines(hive, kHistoryKey, f.history);
  return FormatRegExport(hive);
}

std::optional<CKeptGameRecord> ParseKeptGame(std::string_view text, std::string* problem) {
  std::string why;
  CRegParseError error;
  std::optional<CRegHive> hive = ParseRegExport(text, &error);
  if (!hive) {
    why = "line " + std::to_string(error.line) + ": " + error.what;
  } else {
    why = StrayEntry(*hive);
  }
  CKeptGameRecord game;
  if (why.empty()) {
    CKeptGameReader read(*hive, why);
    CGameFields& f = game.fields;
    if (read.Number("Format", 0x7FFFFFFF) != static_cast<int>(kFormatVersion)) {
      read.Fail("Format", "is not 1: another version of the program wrote the file");
    }
    const std::optional<std::tm> lastChange = ParseLocalTime(read.Text("Last change"));
    if (!lastChange) read.Fail("Last change", "is not a date and time (YYYY-MM-DD HH:MM:SS)");
    game.lastChange = lastChange.value_or(std::tm{});
    auto abbreviation = [&](std::string_view name) {
      std::string text = read.Text(name);
      const bool shown = std::all_of(text.begin(), text.end(), [](char c) {
        return SignCanShow(static_cast<unsigned char>(c));
      });
      if (read.Ok() && (text.size() > CScoreboardGame::kAbbreviationLimit || !shown)) {
        read.Fail(name, "is not an abbreviation the form takes (3 characters the sign shows)");
      }
      return text;
    };
    auto color = [&](std::string_view name) {
      return read.OneOf(name, kColors, "is not a colour of the sign");
    };
    auto size = [&](std::string_view name) {
      return read.OneOf(name, kSizes, "is not a note size (Normal or Giant)");
    };
    f.team1Abbrev = abbreviation("Team 1");
    f.team1Score = read.Number("Team 1 score", 999);
    f.team1NameColor = color("Team 1 name colour");
    f.team1ScoreColor = color("Team 1 score colour");
    f.team2Abbrev = abbreviation("Team 2");
    f.team2Score = read.Number("Team 2 score", 999);
    f.team2NameColor = color("Team 2 name colour");
    f.team2ScoreColor = color("Team 2 score colour");
    f.noteColor = color("Note colour");
    f.noteSize = size("Note size");
    const std::string showing =
        read.OneOf("Showing", kShowingNames, "is not Nothing, Scoreboard or Note");
    game.showing = static_cast<CShowing>(
        std::find(kShowingNames.begin(), kShowingNames.end(), showing) - kShowingNames.begin());
    game.shownNote.color = color("Shown note colour");
    game.shownNote.size = size("Shown note size");
    const auto noteLimit = static_cast<std::size_t>(CScoreboardGame::kNoteLimit);
    f.noteText = read.Lines(kNoteKey, noteLimit);
    game.shownNote.text = read.Lines(kShownNoteKey, noteLimit);
    f.history = read.Lines(kHistoryKey, CKeptGame::kMaxFileSize);
  }
  if (!why.empty()) {
    if (problem != nullptr) *problem = why;
    return std::nullopt;
  }
  return game;
}

bool IsWorthOffering(const CKeptGameRecord& game) {
  return game.fields.team1Score != 0 || game.fields.team2Score != 0 || !game.fields.history.empty();
}

std::string ResumeQuestion(const CKeptGameRecord& game) {
  const CGameFields& f = game.fields;
  const std::chrono::year_month_day date = DateOf(game.lastChange);
  const char* day =
      date.ok() ? kDayNames[std::chrono::weekday(std::chrono::sys_days(date)).c_encoding()] : "";
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d", game.lastChange.tm_hour, game.lastChange.tm_min);
  // "\x96" is the en dash in Windows-1252.
  return "Resume the game " + f.team1Abbrev + " " + std::to_string(f.team1Score) + " \x96 " +
         f.team2Abbrev + " " + std::to_string(f.team2Score) + " (last change " + day + " " + time +
         ")?";
}

CKeptGame::CKeptGame(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path CKeptGame::AsideFile() const {
  std::filesystem::path aside = file_;
  aside += ".unreadable";
  return aside;
}

CKeptGame::CFound CKeptGame::Load() const {
  CFound found;
  std::string text;
  std::string why;
  if (int error = ReadWholeFile(file_, kMaxFileSize, text)) {
    if (IsMissingFileError(error)) return found;
    why = error == FileTooLargeError()   ? "larger than 8 MiB, which no kept game is"
          : error == FileNotPlainError() ? "not a plain file"
                                         : FileErrorText(error);
  } else {
    found.game = ParseKeptGame(text, &why);
    if (found.game) return found;
  }
  found.problem = "The kept game could not be read: " + file_.string() + ": " + why;
  if (int error = RenameFile(file_, AsideFile())) {
    found.problem += "; it could not be moved aside: " + FileErrorText(error);
  } else {
    found.problem += "; it was moved aside as " + AsideFile().filename().string();
  }
  return found;
}

bool CKeptGame::Keep(const CKeptGameRecord& game, std::string& problem) const {
  int error = MakeUserFolder(file_.parent_path());
  const std::string doing = error != 0 ? "its folder cannot be made: " : "";
  // Written at every press: the rename is left to the file system's next
  // commit, which halves the cost; a power cut just then brings back the
  // game as it was one change before, never half of one.
  if (error == 0) error = ReplaceWholeFile(file_, FormatKeptGame(game), CReplaceSync::ContentsOnly);
  if (error == 0) return true;
  problem = "The game is not being kept: " + file_.string() + " cannot be written: " + doing +
            FileErrorText(error);
  return false;
}

bool CKeptGame::Discard(std::string& problem) const {
  if (int error = RemoveFile(file_)) {
    problem = "The kept game " + file_.string() + " cannot be removed: " + FileErrorText(error);
    return false;
  }
  return true;
}
