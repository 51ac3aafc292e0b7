#include <windows.h>

#include <algorithm>
#include <atomic>

#include "settings/WholeFile.h"
#include "settings/win32/RegistryApi.h"

namespace {

// Closes a file handle when it goes out of scope.
class CFileHandle {
 public:
  explicit CFileHandle(HANDLE handle) : handle_(handle) {}
  ~CFileHandle() { Close(); }
  CFileHandle(const CFileHandle&) = delete;
  CFileHandle& operator=(const CFileHandle&) = delete;
  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
  }

 private:
  HANDLE handle_;
};

int LastError() { return static_cast<int>(GetLastError()); }

int WriteAll(HANDLE file, std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, text.data() + done, chunk, &written, nullptr)) return LastError();
    done += written;
  }
  return 0;
}

}  // namespace

int MakeUserFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return 0;
  if (folder.has_parent_path() && folder.parent_path() != folder) {
    if (int parentError = MakeUserFolder(folder.parent_path())) return parentError;
  }
  if (CreateDirectoryW(folder.c_str(), nullptr)) return 0;
  const int createError = LastError();
  if (createError == ERROR_ALREADY_EXISTS && std::filesystem::is_directory(folder, error)) return 0;
  return createError;
}

int ReplaceWholeFile(const std::filesystem::path& file, std::string_view text, CReplaceSync sync) {
  // A name no other writer of this process or another one picks.
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path temporary =
      file.parent_path() /
      (L"." + file.filename().wstring() + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
       std::to_wstring(counter++) + L".tmp");
  CFileHandle handle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.Valid()) return LastError();
  int error = WriteAll(handle.Get(), text);
  if (error == 0 && !FlushFileBuffers(handle.Get())) error = LastError();
  if (!handle.Close() && error == 0) error = LastError();
  const DWORD writeThrough = sync == CReplaceSync::NameToo ? MOVEFILE_WRITE_THROUGH : 0;
  if (error == 0 &&
      !MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | writeThrough)) {
    error = LastError();
  }
  if (error != 0) DeleteFileW(temporary.c_str());
  return error;
}

int ReadWholeFile(const std::filesystem::path& file, std::size_t limit, std::string& text) {
  text.clear();
  CFileHandle handle(CreateFileW(file.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.Valid()) return LastError();
  if (GetFileType(handle.Get()) != FILE_TYPE_DISK) return FileNotPlainError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle.Get(), &size)) return LastError();
  if (static_cast<unsigned long long>(size.QuadPart) > limit) return FileTooLargeError();
  char chunk[8192];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(handle.Get(), chunk, sizeof chunk, &n, nullptr)) return LastError();
    if (n == 0) return 0;
    text.append(chunk, n);
    if (text.size() > limit) return FileTooLargeError();
  }
}

int RenameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : LastError();
}

int RemoveFile(const std::filesystem::path& file) {
  if (DeleteFileW(file.c_str())) return 0;
  const int error = LastError();
  return IsMissingFileError(error) ? 0 : error;
}

bool IsMissingFileError(int code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}
int FileTooLargeError() { return ERROR_FILE_TOO_LARGE; }
int FileNotPlainError() { return ERROR_BAD_FILE_TYPE; }

std::string FileErrorText(int code) { return regapi::StatusText(code); }
