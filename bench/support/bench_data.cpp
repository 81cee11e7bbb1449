#include "support/bench_data.h"

#include <functional>
#include <vector>

namespace kelvora::bench {

namespace {

const char* const kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
const char* const kShellVerbs[] = {"shell", "open", "command", "DefaultIcon", "CLSID", "InprocServer32", "ShellEx"};
const char* const kExtensions[] = {".dll", ".exe", ".txt", ".ini", ".dat", ".xml", ".png", ".mui", ".sys", ".cat"};

std::string Guid(Random& random) {
    static const char* const hex = "0123456789ABCDEF";
    std::string text = "{";
    for (int i = 0; i < 32; ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20) text.push_back('-');
        text.push_back(hex[random.Below(16)]);
    }
    text.push_back('}');
    return text;
}

// The key paths of a shape (relative to the base key), always the same.
std::vector<std::string> PlanKeys(const RegistryShape& shape) {
    Random random(0x5EED1234);
    std::vector<std::string> paths;
    paths.reserve(shape.keys);
    paths.push_back("Classes");
    // The wide level: file types, program identifiers and class identifiers,
    // most with a few sub-keys of their own.
    for (std::size_t i = 0; i < shape.wideLevel && paths.size() < shape.keys; ++i) {
        std::string name;
        switch (random.Below(3)) {
            case 0: name.assign(".").append(random.Word(2, 5)).append(std::to_string(i)); break;
            case 1: name = random.Word(4, 10) + "." + random.Word(3, 12) + "." + std::to_string(i % 9); break;
            default: name = Guid(random); break;
        }
        const std::string path = "Classes\\" + name;
        paths.push_back(path);
        const std::size_t subKeys = random.Below(4);
        for (std::size_t s = 0; s < subKeys && paths.size() < shape.keys; ++s) {
            paths.push_back(path + "\\" + kShellVerbs[random.Below(7)] + std::to_string(s));
        }
    }
    // The rest: a random tree of vendors, products, versions and settings.
    const std::size_t firstTreeKey = paths.size();
    paths.push_back("Software");
    while (paths.size() < shape.keys) {
        const std::size_t parent = firstTreeKey + random.Below(paths.size() - firstTreeKey);
        paths.push_back(paths[parent] + "\\" + random.Word(3, 16));
    }
    return paths;
}

struct PlannedValue {
    std::string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

void PlanValue(Random& random, bool first, PlannedValue& value) {
    value.name = (first && random.Below(4) == 0) ? std::string() : random.Word(3, 24);
    value.data.clear();
    const std::size_t pick = random.Below(100);
    auto putText = [&value](const std::string& text) {
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
    };
    if (pick < 45) {
        value.type = platform::kRegSz;
        putText(random.Below(3) == 0 ? "C:\\Program Files\\" + random.Word(4, 12) + "\\" + random.Word(3, 12) + ".dll"
                                     : random.Word(0, 40));
    } else if (pick < 70) {
        value.type = platform::kRegDword;
        const auto number = static_cast<std::uint32_t>(random.Next());
        for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    } else if (pick < 85) {
        value.type = platform::kRegBinary;
        // Now and then a block larger than the first read buffer.
        const std::size_t size = random.Below(200) == 0 ? 2000 + random.Below(4000) : 4 + random.Below(252);
        for (std::size_t i = 0; i < size; ++i) value.data.push_back(static_cast<std::uint8_t>(random.Next()));
    } else if (pick < 93) {
        value.type = platform::kRegExpandSz;
        putText("%SystemRoot%\\system32\\" + random.Word(3, 14) + ".dll");
    } else if (pick < 98) {
        value.type = platform::kRegMultiSz;
        for (std::size_t i = 0, n = 1 + random.Below(4); i < n; ++i) {
            const std::string item = random.Word(3, 20);
            value.data.insert(value.data.end(), item.begin(), item.end());
            value.data.push_back(0);
        }
        value.data.push_back(0);
    } else {
        value.type = platform::kRegQword;
        for (int i = 0; i < 8; ++i) value.data.push_back(static_cast<std::uint8_t>(random.Next()));
    }
}

std::string Join(const std::string& base, const std::string& path) { return base.empty() ? path : base + "\\" + path; }

std::vector<std::string> PlanFolders(const FolderShape& shape) {
    Random random(0xF01DE125);
    std::vector<std::string> folders;
    folders.reserve(shape.folders);
    folders.push_back("Root");
    while (folders.size() < shape.folders) {
        const std::size_t parent = random.Below(folders.size());
        folders.push_back(folders[parent] + "\\" + random.Word(3, 14) + std::to_string(folders.size() % 7));
    }
    return folders;
}

std::string FileName(Random& random) { return random.Word(3, 20) + kExtensions[random.Below(10)]; }

std::vector<std::uint8_t> Contents(Random& random) {
    const std::size_t size = random.Below(8) == 0 ? random.Below(4096) : random.Below(200);
    return std::vector<std::uint8_t>(size, static_cast<std::uint8_t>('k'));
}

}  // namespace

std::string Random::Word(std::size_t minLength, std::size_t maxLength) {
    const std::size_t length = minLength + Below(maxLength - minLength + 1);
    std::string word;
    word.reserve(length);
    for (std::size_t i = 0; i < length; ++i) word.push_back(kLetters[Below(62)]);
    return word;
}

Counts FillRegistry(platform::Registry& registry, platform::RootKey root, const std::string& basePath,
                    const RegistryShape& shape) {
    const std::vector<std::string> paths = PlanKeys(shape);
    Random random(0xDA7A);
    Counts counts;
    PlannedValue value;
    for (std::size_t k = 0; k < paths.size(); ++k) {
        platform::RegKey key;
        if (registry.CreateKey(root, Join(basePath, paths[k]), key) != platform::kErrorSuccess) continue;
        ++counts.keys;
        // Values spread evenly over the keys, a few more or less each.
        const std::size_t due = shape.values * (k + 1) / paths.size() - counts.values;
        for (std::size_t v = 0; v < due; ++v) {
            PlanValue(random, v == 0, value);
            registry.SetValue(key, value.name, value.type, value.data.data(),
                              static_cast<std::uint32_t>(value.data.size()));
            ++counts.values;
        }
    }
    return counts;
}

void ChangeRegistry(platform::Registry& registry, platform::RootKey root, const std::string& basePath,
                    const RegistryShape& shape, double percent) {
    const std::vector<std::string> paths = PlanKeys(shape);
    Random random(0xC4A76E);
    PlannedValue value;
    const auto valueChanges = static_cast<std::size_t>(static_cast<double>(shape.values) * percent / 100.0);
    for (std::size_t i = 0; i < valueChanges; ++i) {
        platform::RegKey key;
        if (registry.OpenKey(root, Join(basePath, paths[random.Below(paths.size())]), platform::kKeyAllAccess,
                             key) != platform::kErrorSuccess) {
            continue;
        }
        PlanValue(random, false, value);
        char name[1024];
        std::uint32_t nameLen = sizeof name;
        std::uint32_t type = 0;
        std::uint8_t data[8192];
        std::uint32_t dataLen = sizeof data;
        const bool hasValue = registry.EnumValue(key, 0, name, nameLen, type, data, dataLen) == platform::kErrorSuccess;
        switch (hasValue ? i % 3 : 0) {
            case 0:  // created
                registry.SetValue(key, "New" + value.name, value.type, value.data.data(),
                                  static_cast<std::uint32_t>(value.data.size()));
                break;
            case 1:  // changed: same name, other data
                registry.SetValue(key, std::string(name, nameLen), value.type, value.data.data(),
                                  static_cast<std::uint32_t>(value.data.size()));
                break;
            default:  // deleted
                registry.DeleteValue(key, std::string(name, nameLen));
                break;
        }
    }
    const auto keyChanges = static_cast<std::size_t>(static_cast<double>(shape.keys) * percent / 100.0);
    for (std::size_t i = 0; i < keyChanges; ++i) {
        const std::string& path = paths[random.Below(paths.size())];
        if (i % 2 == 0) {
            platform::RegKey key;
            if (registry.CreateKey(root, Join(basePath, path + "\\Added" + random.Word(3, 10)), key) ==
                platform::kErrorSuccess) {
                for (int v = 0; v < 3; ++v) {
                    PlanValue(random, v == 0, value);
                    registry.SetValue(key, value.name, value.type, value.data.data(),
                                      static_cast<std::uint32_t>(value.data.size()));
                }
            }
        } else {
            registry.DeleteKey(root, Join(basePath, path));  // refused for keys with sub-keys
        }
    }
}

Counts FillFolders(platform::FileSystem& files, const std::string& basePath, const FolderShape& shape) {
    const std::vector<std::string> folders = PlanFolders(shape);
    Random random(0xF11E5);
    Counts counts;
    files.CreateFolder(basePath);
    for (std::size_t f = 0; f < folders.size(); ++f) {
        const std::string folder = basePath + "\\" + folders[f];
        if (!files.CreateFolder(folder)) continue;
        ++counts.keys;
        const std::size_t due = shape.files * (f + 1) / folders.size() - counts.values;
        for (std::size_t i = 0; i < due; ++i) {
            const std::vector<std::uint8_t> contents = Contents(random);
            files.WriteFile(folder + "\\" + FileName(random), contents.data(), contents.size());
            ++counts.values;
        }
    }
    return counts;
}

void ChangeFolders(platform::FileSystem& files, const std::string& basePath, const FolderShape& shape,
                   double percent) {
    const std::vector<std::string> folders = PlanFolders(shape);
    Random random(0xC4A76F);
    const auto changes = static_cast<std::size_t>(static_cast<double>(shape.files) * percent / 100.0);
    for (std::size_t i = 0; i < changes; ++i) {
        const std::string folder = basePath + "\\" + folders[random.Below(folders.size())];
        std::string existing;
        files.List(folder + "\\*.*", [&existing](const platform::FindEntry& entry) {
            if (entry.IsFolder()) return true;
            existing = entry.name;
            return false;
        });
        const std::vector<std::uint8_t> contents = Contents(random);
        const std::size_t action = existing.empty() ? 0 : i % 4;
        if (action == 0) {
            files.WriteFile(folder + "\\new" + FileName(random), contents.data(), contents.size());
        } else if (action == 1) {
            std::vector<std::uint8_t> longer(contents.size() + 1 + random.Below(100), 'x');
            files.WriteFile(folder + "\\" + existing, longer.data(), longer.size());
        } else if (action == 2) {
            files.DeleteFile(folder + "\\" + existing);
        } else {
            const std::string target = basePath + "\\" + folders[random.Below(folders.size())];
            files.Rename(folder + "\\" + existing, target + "\\" + existing);
        }
    }
}

void RemoveFolders(platform::FileSystem& files, const std::string& basePath) {
    std::vector<std::string> folders;
    files.List(basePath + "\\*.*", [&](const platform::FindEntry& entry) {
        if (!entry.IsFolder()) {
            files.DeleteFile(basePath + "\\" + entry.name);
        } else if (entry.name != "." && entry.name != "..") {
            folders.push_back(basePath + "\\" + entry.name);
        }
        return true;
    });
    for (const std::string& folder : folders) RemoveFolders(files, folder);
    files.RemoveFolder(basePath);
}

}  // namespace kelvora::bench
