#pragma once

#include <functional>
#include <string>

class CSignLinks;
class CVirtualSign;
struct CSignDisplay;

// Window mode: the sign face in a window, fed from the links, which run on a
// thread of their own. Sets showDisplay and showLine so the sign's reports
// reach the window; writing to stopWriteFd ends the links when the window
// closes; the links' end (a stop signal, or their failure) closes the window.
int RunSignWindow(int argc, char** argv, CVirtualSign& sign, CSignLinks& links,
                  std::function<void(const CSignDisplay&)>& showDisplay,
                  std::function<void(const std::string&)>& showLine, int stopReadFd,
                  int stopWriteFd);
