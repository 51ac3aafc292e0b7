#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Small per-user files read and replaced whole: the kept game, and on Linux
// the settings store. Each operation returns 0 or the system's error code
// (errno on Linux, the last error on Windows); FileErrorText gives its text.
// The Linux and the Windows files are chosen by CMake.

// The current user's home folder: $HOME when it is an absolute path, else
// the user database's. Nothing when neither is known. Linux only: Windows
// programs find their folders by the environment.
std::optional<std::filesystem::path> UserHomeDirectory();

// Makes the folder and any missing parents, private to the user where the
// system has such a thing.
int MakeUserFolder(const std::filesystem::path& folder);

// How much of a replacement is on the disk when ReplaceWholeFile returns.
// The new contents always are, before the rename makes them the file's, so
// even a power cut leaves the old file or the new one, never part of
// either. NameToo also flushes the folder, so the rename itself survives a
// power cut at once; ContentsOnly leaves that to the file system's next
// commit (seconds), after which a power cut can bring back the file before.
enum class CReplaceSync { ContentsOnly, NameToo };

// Puts text in the file's place so that a crash at any instant leaves the
// old file or the new one, never part of either: a temporary file beside it
// is written, flushed to the disk and renamed over it.
int ReplaceWholeFile(const std::filesystem::path& file, std::string_view text,
                     CReplaceSync sync = CReplaceSync::NameToo);

// Reads the whole of a plain file. One larger than limit, checked before and
// while reading, fails with FileTooLargeError(); anything but a plain file
// with FileNotPlainError().
int ReadWholeFile(const std::filesystem::path& file, std::size_t limit, std::string& text);

// Renames from over to, replacing it.
int RenameFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes the file; one that is not there is no error.
int RemoveFile(const std::filesystem::path& file);

// The codes the callers tell apart.
bool IsMissingFileError(int code);
int FileTooLargeError();
int FileNotPlainError();

// The system's text for a code, without a line end.
std::string FileErrorText(int code);
