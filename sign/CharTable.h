#pragma once

#include <cstdint>

// The sign's character table: for each character the sign's code, the same
// character in code page 437 and in Windows-1252 (the lookup key), and three
// character widths. Filled by the constructor with 150 entries: 56 extended
// characters (sent as 08 + protocolCode), then the ASCII codes 32 to 125.
class CharTable {
 public:
  struct Entry {
    std::int32_t protocolCode;
    std::int32_t cp437Code;
    std::int32_t windowsCode;
    std::int32_t width1;
    std::int32_t width2;
    std::int32_t width3;
  };

  static constexpr int kCapacity = 1000;
  static constexpr int kExtendedCount = 56;

  CharTable();
  virtual ~CharTable() = default;

  // Appends one entry; an entry beyond the capacity is not stored.
  void AddEntry(std::int32_t protocolCode, std::int32_t cp437Code, std::int32_t windowsCode,
                std::int32_t width1, std::int32_t width2, std::int32_t width3);

  // The protocolCode of the first entry whose windowsCode equals the
  // argument, or 0 when none does.
  std::int32_t Lookup(std::int32_t windowsCode) const;

  // The index of that same first entry, or -1 when none matches. An index
  // below kExtendedCount is an extended character (sent as 08 + code).
  int IndexOf(std::int32_t windowsCode) const;

  int Count() const { return count_; }
  const Entry& At(int index) const { return entries_[index]; }

 private:
  Entry entries_[kCapacity];
  int count_ = 0;
};
