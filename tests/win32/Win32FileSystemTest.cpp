#include <gtest/gtest.h>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32FileSystem.h"

namespace kelpo {
namespace {

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH + 1];
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + "kelpo-fs-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

TEST(Win32FileSystemTest, ExecutableFolderEndsWithASeparatorAndHoldsTheProgram) {
  Win32FileSystem files;
  const std::string folder = files.ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  char module[MAX_PATH + 1];
  GetModuleFileNameA(nullptr, module, sizeof module);
  const std::string program(module);
  EXPECT_EQ(program.rfind(folder, 0), 0u);
  EXPECT_EQ(program.find('\\', folder.size()), std::string::npos) << "the whole folder, up to the file name";
  EXPECT_TRUE(files.FileExists(program));
}

TEST(Win32FileSystemTest, ReadsFilesByteForByteAndTellsFilesFromFolders) {
  Win32FileSystem files;
  const std::vector<std::uint8_t> bytes{0x00, 0x1A, '\r', '\n', 0xFF, 'k', '\n', 0x00};
  const std::string path = TempPath("bytes.bin");
  WriteBytes(path, bytes);
  EXPECT_TRUE(files.FileExists(path));
  EXPECT_EQ(files.ReadFile(path), bytes);

  const std::string empty = TempPath("empty.bin");
  WriteBytes(empty, {});
  auto none = files.ReadFile(empty);
  ASSERT_TRUE(none.has_value()) << "an empty file is still a file";
  EXPECT_TRUE(none->empty());

  const std::string folder = TempPath("folder");
  CreateDirectoryA(folder.c_str(), nullptr);
  EXPECT_FALSE(files.FileExists(folder));
  EXPECT_FALSE(files.FileExists(folder + "\\"));
  EXPECT_FALSE(files.FileExists(TempPath("missing.bin")));
  EXPECT_FALSE(files.ReadFile(TempPath("missing.bin")).has_value());
  // A doubled separator, as the exe folder plus "\images\..." gives, names the same file.
  const std::size_t name = path.find_last_of('\\') + 1;
  EXPECT_EQ(files.ReadFile(path.substr(0, name) + "\\" + path.substr(name)), bytes);

  DeleteFileA(path.c_str());
  DeleteFileA(empty.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace kelpo
