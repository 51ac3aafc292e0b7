#include "game/RavelleDoc.h"

#include <cstdio>
#include <cstdlib>

std::tm CRavelleDoc::SystemLocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

CRavelleDoc::CRavelleDoc()
    : CCommSettings{"alpha", "", 1, 9600, 7, "even", 1}, clock_(SystemLocalTime) {
  ResetGameFields();
}

bool CRavelleDoc::OnNewDocument() {
  ResetGameFields();
  return true;
}

void CRavelleDoc::ResetGameFields() { static_cast<CGameFields&>(*this) = CGameFields{}; }

void CRavelleDoc::SetClock(LocalClock clock) { clock_ = std::move(clock); }

void CRavelleDoc::TimeStamp(char* buffer) const {
  std::tm local = clock_();
  // The fields are clamped so that a broken clock can never widen the text
  // past the caller's 9 bytes.
  auto clamp = [](int value, int high) { return value < 0 ? 0 : (value > high ? high : value); };
  std::snprintf(buffer, 9, "%02d:%02d:%02d", clamp(local.tm_hour, 23), clamp(local.tm_min, 59),
                clamp(local.tm_sec, 60));
}

void CRavelleDoc::AppendScoreHistory(std::string abbreviation, int change) {
  char stamp[9];
  TimeStamp(stamp);
  char line[64];
  if (change >= 0) {
    std::snprintf(line, sizeof line, "%10s -- %.3s ::  %d\n", stamp, abbreviation.c_str(), change);
  } else {
    std::snprintf(line, sizeof line, "%10s -- %.3s :: -%d\n", stamp, abbreviation.c_str(),
                  std::abs(change));
  }
  history += line;
}

void CRavelleDoc::AppendNoteHistory(const std::string& collapsedNote) {
  char stamp[9];
  TimeStamp(stamp);
  char head[32];
  std::snprintf(head, sizeof head, "%10s -- Note :: ", stamp);
  // The note can be thousands of bytes long, so it is appended rather than
  // formatted through a fixed buffer.
  history += head;
  history += collapsedNote;
  history += '\n';
  if (onNoteRecorded) onNoteRecorded();
}
