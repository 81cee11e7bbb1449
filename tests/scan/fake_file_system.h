// A few files in memory, enough for the snapshot store's tests: whole-file
// reads and writes, deletes and a current directory.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"

namespace kelvora::testing {

class FakeFileSystem : public platform::FileSystem {
public:
    std::map<std::string, std::vector<std::uint8_t>, NoCaseLess> files;  // by full path
    std::string currentDir = "C:\\Kelvora";
    bool failWrites = false;

    std::string Full(std::string_view path) const {
        if (path.size() >= 2 && path[1] == ':') return std::string(path);
        return currentDir + "\\" + std::string(path);
    }

    std::string GetCurrentDir() override { return currentDir; }
    bool SetCurrentDir(std::string_view path) override {
        currentDir = path;
        return true;
    }
    bool List(std::string_view, const std::function<bool(const platform::FindEntry&)>&) override { return false; }
    std::uint32_t GetAttributes(std::string_view path) override {
        return files.contains(Full(path)) ? platform::kAttrArchive : platform::kInvalidAttributes;
    }
    bool SetAttributes(std::string_view, std::uint32_t) override { return false; }
    bool Rename(std::string_view, std::string_view) override { return false; }
    bool DeleteFile(std::string_view path) override { return files.erase(Full(path)) == 1; }
    bool CreateFolder(std::string_view) override { return false; }
    bool RemoveFolder(std::string_view) override { return false; }
    std::string LongPathName(std::string_view path) override { return std::string(path); }
    std::string FullPathName(std::string_view path) override { return Full(path); }
    std::string WindowsFolder() override { return "C:\\Windows"; }
    bool ReadFile(std::string_view path, std::vector<std::uint8_t>& out) override {
        const auto found = files.find(Full(path));
        if (found == files.end()) return false;
        out = found->second;
        return true;
    }
    bool WriteFile(std::string_view path, const std::uint8_t* data, std::size_t size) override {
        if (failWrites) return false;
        files[Full(path)].assign(data, data + size);
        return true;
    }
    bool WriteFileAtomic(std::string_view path, const std::uint8_t* data, std::size_t size) override {
        return WriteFile(path, data, size);
    }
};

}  // namespace kelvora::testing
