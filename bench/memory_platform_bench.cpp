// The memory platform at the sizes the scan benchmarks use: 200,000 keys with
// 1,000,000 values written, then walked the way the registry scan walks
// (open, enumerate values into fixed buffers, enumerate sub-keys, recurse);
// and a folder tree of 200,000 files listed the way the folder scan lists it.
#include "platform/memory/memory_platform.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace {

using Timer = std::chrono::steady_clock;
using namespace kelvora::platform;

double Seconds(Timer::time_point since) { return std::chrono::duration<double>(Timer::now() - since).count(); }

}  // namespace

int main() {
    memory::MemoryPlatform os;
    constexpr int kTop = 200;
    constexpr int kPerTop = 1000;  // 200 x 1000 = 200,000 keys
    constexpr int kValuesPerKey = 5;

    auto start = Timer::now();
    for (int t = 0; t < kTop; ++t) {
        const std::string top = "Software\\Bench\\Vendor" + std::to_string(t);
        for (int k = 0; k < kPerTop; ++k) {
            RegKey key;
            os.registry.CreateKey(kLocalMachine, top + "\\Key" + std::to_string(k), key);
            for (int v = 0; v < kValuesPerKey; ++v) {
                const std::string data = "value data " + std::to_string(v);
                os.registry.SetValue(key, "Value" + std::to_string(v), kRegSz,
                                     reinterpret_cast<const std::uint8_t*>(data.c_str()),
                                     static_cast<std::uint32_t>(data.size() + 1));
            }
        }
    }
    std::printf("registry fill: %d keys, %d values: %.3f s\n", kTop * kPerTop, kTop * kPerTop * kValuesPerKey,
                Seconds(start));

    start = Timer::now();
    std::size_t keys = 0;
    std::size_t values = 0;
    std::function<void(const std::string&)> walk = [&](const std::string& path) {
        RegKey key;
        if (os.registry.OpenKey(kLocalMachine, path, kKeyRead, key) != kErrorSuccess) return;
        ++keys;
        char name[1024];
        std::uint8_t data[1024];
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t nameLen = sizeof(name);
            std::uint32_t dataLen = sizeof(data);
            std::uint32_t type = 0;
            if (os.registry.EnumValue(key, i, name, nameLen, type, data, dataLen) != kErrorSuccess) break;
            ++values;
        }
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t nameLen = sizeof(name);
            if (os.registry.EnumKey(key, i, name, nameLen) != kErrorSuccess) break;
            walk(path.empty() ? std::string(name, nameLen) : path + "\\" + std::string(name, nameLen));
        }
    };
    walk("");
    std::printf("registry walk: %zu keys, %zu values: %.3f s\n", keys, values, Seconds(start));

    start = Timer::now();
    for (int f = 0; f < 200; ++f) {
        const std::string folder = "C:\\Bench\\Folder" + std::to_string(f) + "\\";
        for (int i = 0; i < 1000; ++i) os.files.AddFile(folder + "file" + std::to_string(i) + ".dat", "x");
    }
    std::printf("files fill: 200,000 files: %.3f s\n", Seconds(start));
    start = Timer::now();
    std::size_t entries = 0;
    std::function<void()> list = [&] {
        std::vector<std::string> folders;
        os.files.List("*.*", [&](const FindEntry& e) {
            ++entries;
            if (e.IsFolder() && e.name != "." && e.name != "..") folders.push_back(e.name);
            return true;
        });
        for (const std::string& folder : folders) {
            if (!os.files.SetCurrentDir(folder)) continue;
            list();
            os.files.SetCurrentDir("..");
        }
    };
    os.files.SetCurrentDir("C:\\");
    list();
    std::printf("files walk: %zu entries: %.3f s\n", entries, Seconds(start));
    return 0;
}
