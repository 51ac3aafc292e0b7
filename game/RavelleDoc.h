#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "settings/CommSettings.h"
#include "sign/GameFields.h"

// The single document: the game in progress (teams, scores, colours, note,
// scoring history: the fields of CGameFields) and the seven connection
// settings. Every string holds
// Windows-1252 bytes, exactly as the operator typed them; conversion to and
// from UTF-8 happens only at the Qt and command-line edges.
//
// The document is touched only from the user-interface thread.
// The connection fields (protocol, connection, comPort, baudRate, byteSize,
// parity, stopBits) are those of CCommSettings, so they travel to the
// settings dialog, the store and the sign link as one record.
class CRavelleDoc : public CCommSettings, public CGameSource {
 public:
  // Supplies the current local time. Tests replace it to fix the time.
  using LocalClock = std::function<std::tm()>;

  CRavelleDoc();

  // The system's local time now: the clock a document starts with.
  static std::tm SystemLocalTime();

  // Resets the twelve game fields; the connection fields are kept.
  bool OnNewDocument();

  // Writes the current local time as "HH:MM:SS" and its terminating zero
  // into buffer, which must hold at least 9 bytes.
  void TimeStamp(char* buffer) const;

  // Appends "  HH:MM:SS -- ABC ::  3\n" (or ":: -1" for a loss).
  void AppendScoreHistory(std::string abbreviation, int change);

  // Appends "  HH:MM:SS -- Note :: text\n"; the text is already collapsed.
  // onNoteRecorded then runs, before the note's packets go out.
  void AppendNoteHistory(const std::string& collapsedNote) override;
  std::function<void()> onNoteRecorded;

  int SignComPort() const override { return comPort; }

  void SetClock(LocalClock clock);

 private:
  void ResetGameFields();

  LocalClock clock_;
};
