// The Windows file system through the W functions: paths are UTF-8 in the
// program and UTF-16 at the API, and paths of MAX_PATH characters or more
// work too (see wide_path_win.h). The current directory stays limited to
// MAX_PATH, as Windows keeps it.
#pragma once

#include "platform/platform.h"

namespace kelvora::platform::win32 {

class Win32FileSystem final : public FileSystem {
public:
    std::string GetCurrentDir() override;
    bool SetCurrentDir(std::string_view path) override;
    bool List(std::string_view pattern, const std::function<bool(const FindEntry&)>& each) override;
    std::uint32_t GetAttributes(std::string_view path) override;
    bool SetAttributes(std::string_view path, std::uint32_t attributes) override;
    bool Rename(std::string_view from, std::string_view to) override;
    bool DeleteFile(std::string_view path) override;
    bool CreateFolder(std::string_view path) override;
    bool RemoveFolder(std::string_view path) override;
    std::string LongPathName(std::string_view path) override;
    std::string FullPathName(std::string_view path) override;
    std::string WindowsFolder() override;
    long LastError() override;
    // Refuses files of 2 GB and more.
    bool ReadFile(std::string_view path, std::vector<std::uint8_t>& out) override;
    bool ReadFileHead(std::string_view path, std::size_t count, std::vector<std::uint8_t>& out) override;
    // A hidden or system file keeps those attributes when it is replaced.
    bool WriteFile(std::string_view path, const std::uint8_t* data, std::size_t size) override;
    // Also refuses a read-only target, as Windows does (Wine would replace it).
    bool WriteFileAtomic(std::string_view path, const std::uint8_t* data, std::size_t size) override;
    std::unique_ptr<FileWriter> CreateFileWriter(std::string_view path) override;
};

}  // namespace kelvora::platform::win32
