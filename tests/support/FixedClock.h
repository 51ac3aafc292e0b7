#pragma once

#include <ctime>

#include "game/RavelleDoc.h"

// A document clock that always reads the given local time.
inline CRavelleDoc::LocalClock FixedClock(int hour, int minute, int second) {
  return [=] {
    std::tm t{};
    t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
    return t;
  };
}
