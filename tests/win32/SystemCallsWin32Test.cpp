// What the Windows build's own system calls can get wrong below the
// windows: the command line's UTF-16 arguments, the kept game's file under
// %LOCALAPPDATA%, and the calling convention of the vendor's USB DLL.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/KeptGame.h"
#include "link/UsbBulkApi.h"
#include "link/UsbLibrary.h"
#include "tests/link/FakeUsbControl.h"
#include "tools/cli/win32/ConsoleText.h"

namespace {

namespace fs = std::filesystem;

TEST(ConsoleText, ArgumentsTurnFromUtf16IntoUtf8AfterTheProgramName) {
  // The third argument holds an unpaired surrogate.
  wchar_t program[] = L"ravelle-cli.exe", note[] = L"Caf\u00e9 \u2603 \u20ac",
          broken[] = L"a\xD800z", empty[] = L"";
  wchar_t* argv[] = {program, note, broken, empty};
  EXPECT_EQ(
      Utf8Arguments(4, argv),
      (std::vector<std::string>{"Caf\xC3\xA9 \xE2\x98\x83 \xE2\x82\xAC", "a\xEF\xBF\xBDz", ""}));
}

// The kept game in %LOCALAPPDATA%\Ravelle\game on Windows' own file calls:
// the folder made, the game replaced whole and read back, and a file that
// does not parse moved aside rather than used.
TEST(KeptGameWin32, TheGameIsKeptUnderLocalAppDataAndABadFileIsMovedAside) {
  const fs::path localAppData = fs::temp_directory_path() / "ravelle-kept-game-test";
  fs::remove_all(localAppData);
  ASSERT_EQ(_wputenv_s(L"LOCALAPPDATA", localAppData.c_str()), 0);
  const CKeptGame kept(UserKeptGamePath().value());
  EXPECT_EQ(kept.File(), localAppData / "Ravelle" / "game");

  CKeptGameRecord game;
  game.fields.team1Abbrev = "HOM";
  game.fields.history = "  20:15:07 -- HOM ::  6\n  20:15:09 -- Note :: Half \x96 time\n";
  game.lastChange.tm_mday = 5;
  std::string problem;
  for (int score : {20, 21}) {
    game.fields.team2Score = score;
    ASSERT_TRUE(kept.Keep(game, problem)) << problem;
  }
  const CKeptGame::CFound found = kept.Load();
  ASSERT_TRUE(found.game) << found.problem;
  EXPECT_EQ(found.game->fields, game.fields);

  std::ofstream(kept.File(), std::ios::binary | std::ios::trunc) << "not a kept game";
  const CKeptGame::CFound unreadable = kept.Load();
  EXPECT_TRUE(!unreadable.game && fs::exists(kept.AsideFile()) && !fs::exists(kept.File()));
  EXPECT_NE(unreadable.problem.find("it was moved aside as game.unreadable"), std::string::npos)
      << unreadable.problem;
  fs::remove_all(localAppData);
}

// The link's types for the entry points follow the DLL's own convention:
// after each call through them the stack pointer is where it was before.
// (A caller built for the C convention would find it off by the arguments'
// size, after the 32-bit stdcall DLL had already removed them; a 64-bit
// build has one convention only.)
#if defined(__i386__)
TEST(UsbConventionWin32, EntryPointsAreCalledWithTheDllsOwnConvention) {
  std::string failure;
  void* library = LoadUsbLibrary("betabriteusb.dll", "", failure);
  ASSERT_NE(library, nullptr) << failure;
  FakeUsbControl* control =
      reinterpret_cast<FakeUsbControlFn>(FindUsbEntryPoint(library, "FakeUsb_Control"))();
  *control = FakeUsbControl{};
  auto stackPointer = [] {
    std::uintptr_t pointer;
    asm volatile("mov %%esp, %0" : "=r"(pointer));
    return pointer;
  };
  unsigned char chunk[2000] = {'x'};
  auto open = reinterpret_cast<UsbBulkOpenFn>(FindUsbEntryPoint(library, "USBBULK_Open"));
  auto write = reinterpret_cast<UsbBulkWriteFn>(FindUsbEntryPoint(library, "USBBULK_Write"));
  auto read = reinterpret_cast<UsbBulkReadFn>(FindUsbEntryPoint(library, "USBBULK_Read"));
  auto close = reinterpret_cast<UsbBulkCloseFn>(FindUsbEntryPoint(library, "USBBULK_Close"));
  const std::uintptr_t before = stackPointer();
  open();
  EXPECT_EQ(stackPointer(), before) << "Open";
  write(chunk, 1);
  EXPECT_EQ(stackPointer(), before) << "Write";
  read(chunk, 1);
  EXPECT_EQ(stackPointer(), before) << "Read";
  close();
  EXPECT_EQ(stackPointer(), before) << "Close";
  EXPECT_EQ(std::string(control->calls), "O W1 R1 C");
  ReleaseUsbLibrary(library);
}
#endif

}  // namespace
