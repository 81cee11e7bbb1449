// A monitoring and an uninstall of registry values of every kind of type, on
// any platform: the key is scanned into a snapshot file and loaded back, the
// installation changes it, the comparison fills a changes tree, the tree is
// saved as an archive and loaded in uninstall mode, and the uninstaller
// undoes everything. The native tests run it on the in-memory registry, the
// Windows tests on the real one.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "changes/archive_load.h"
#include "changes/archive_save.h"
#include "scan/compare_keys.h"
#include "scan/registry_scan.h"
#include "scan/scan_test_support.h"
#include "scan/snapshot_loader.h"
#include "support/uninstall_run.h"

namespace kelvora::testing {

inline std::vector<std::uint8_t> Raw(std::string_view bytes) { return {bytes.begin(), bytes.end()}; }

class ValueTypesRoundTrip {
public:
    // key: a scratch key below root that the test owns; programFolder: where
    // the snapshot and the archive go.
    ValueTypesRoundTrip(platform::Platform& os, platform::RootKey root, std::string key, std::string programFolder)
        : os_(os), root_(root), key_(std::move(key)) {
        context_.ProgramFolder = std::move(programFolder);
        context_.AppIdentifier = "Types";
        context_.Settings.LogLevel = 7;
        config_ = ScanConfig::Of(context_);
    }

    void Set(std::string_view subKey, std::string_view name, std::uint32_t type,
             const std::vector<std::uint8_t>& data) {
        platform::RegKey key;
        ASSERT_EQ(os_.registry.CreateKey(root_, Below(subKey), key), 0);
        ASSERT_EQ(os_.registry.SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())), 0);
    }
    void Delete(std::string_view subKey, std::string_view name) {
        platform::RegKey key;
        ASSERT_EQ(os_.registry.OpenKey(root_, Below(subKey), platform::kKeyAllAccess, key), 0);
        ASSERT_EQ(os_.registry.DeleteValue(key, name), 0);
    }
    void DeleteKey(std::string_view subKey) { ASSERT_EQ(os_.registry.DeleteKey(root_, Below(subKey)), 0); }

    // Every key and value below the scratch key: "sub|name" -> "type:hex bytes".
    std::map<std::string, std::string> Dump() {
        std::map<std::string, std::string> out;
        DumpKey(key_, out);
        return out;
    }

    // The whole monitoring around install(), then the uninstall; answers
    // the log lines.
    std::vector<std::string> MonitorAndUndo(const std::function<void()>& install) {
        TDBTree db = TDBTree::CreateEmpty(context_.ProgramFolder, "HKCU");
        ScanKey(env_, root_, key_, db);
        db.Save(os_.files);
        const SnapshotTree before =
            LoadSnapshot(os_.files, context_.ProgramFolder, "HKCU", context_.WizardState, worker_);
        install();

        const std::size_t cut = key_.rfind('\\');
        const SnapshotTree after = ReadKey(env_, root_, key_.substr(cut + 1), key_);
        const TNode* old = before.Root;
        for (std::string_view rest = key_; old != nullptr && !rest.empty();) {
            const std::string_view part = rest.substr(0, rest.find('\\'));
            rest = part.size() < rest.size() ? rest.substr(part.size() + 1) : std::string_view();
            for (old = old->FirstChild; old != nullptr && old->Name() != part;) old = old->NextSibling;
        }
        EXPECT_NE(old, nullptr);
        ChangesTree tree(context_.Settings);
        tree.StartFill(false);
        ChangesTreeSink sink(tree);
        CompareKeys(env_, sink, after.Root, old, key_.substr(0, cut), root_, false);
        CompareKeys(env_, sink, old, after.Root, key_.substr(0, cut), root_, true);
        TChgArchive archive(os_.files, os_.clock, ArchiveFileBase(context_.ProgramFolder, context_.AppIdentifier));
        SaveChangesTree(tree, archive);

        tree.StartFill(true);
        EXPECT_EQ(LoadCheckTree(context_, os_.files, os_.clock, tree, worker_, nullptr), TWorkEnd::Completed);
        return UninstallLines(os_, context_, tree);
    }

private:
    std::string Below(std::string_view subKey) const {
        return subKey.empty() ? key_ : key_ + "\\" + std::string(subKey);
    }

    void DumpKey(const std::string& path, std::map<std::string, std::string>& out) {
        platform::RegKey key;
        if (os_.registry.OpenKey(root_, path, platform::kKeyRead, key) != 0) return;
        const std::string sub = path.size() > key_.size() ? path.substr(key_.size() + 1) : std::string();
        out[sub] = "(key)";
        std::vector<char> name(1024);
        std::vector<std::uint8_t> data(1024);
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t nameLen = 1024;
            std::uint32_t dataLen = 1024;
            std::uint32_t type = 0;
            if (os_.registry.EnumValue(key, i, name.data(), nameLen, type, data.data(), dataLen) != 0) break;
            std::string text = std::to_string(type) + ":";
            for (std::uint32_t b = 0; b < dataLen; ++b) text += Numbered(" ", data[b]);
            out[sub + "|" + std::string(name.data(), nameLen)] = text;
        }
        std::vector<std::string> subKeys;
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t nameLen = 1024;
            if (os_.registry.EnumKey(key, i, name.data(), nameLen) != 0) break;
            subKeys.emplace_back(name.data(), nameLen);
        }
        for (const std::string& child : subKeys) DumpKey(path + "\\" + child, out);
    }

    platform::Platform& os_;
    platform::RootKey root_;
    std::string key_;
    AppContext context_;
    StoppableWorker worker_{context_};
    ScanConfig config_ = ScanConfig::Of(context_);
    ScanEnv env_{os_.registry, os_.files, config_, context_.WizardState, worker_};
};

// The values before the installation, the installation, and what the
// uninstall must log; the same on every platform.
inline void PutValuesBefore(ValueTypesRoundTrip& r) {
    r.Set("", "Path", platform::kRegExpandSz, Raw(std::string_view("%SystemRoot%\\bin;C:\\Tools\0", 26)));
    r.Set("", "List", platform::kRegMultiSz, Raw(std::string_view("a\0b\0\0", 5)));
    r.Set("", "OldList", platform::kRegMultiSz, Raw(std::string_view("x\0\0", 3)));
    r.Set("", "Big", platform::kRegQword, Raw(std::string_view("\1\2\3\4\5\6\7\10", 8)));
    r.Set("", "OldBig", platform::kRegQword, Raw(std::string_view("\11\0\0\0\0\0\0\0", 8)));
    r.Set("", "Flag", platform::kRegNone, {1});
    r.Set("", "Nothing", platform::kRegNone, {});
    r.Set("", "Typed", platform::kRegSz, Raw(std::string_view("same\0", 5)));
    r.Set("", "Num", platform::kRegDword, {5, 0, 0, 0});
    r.Set("Sub", "Exp", platform::kRegExpandSz, Raw(std::string_view("%TEMP%\0", 7)));
}

inline void Install(ValueTypesRoundTrip& r) {
    r.Set("", "Path", platform::kRegExpandSz, Raw(std::string_view("%SystemRoot%\\bin;C:\\Tools;C:\\App\0", 33)));
    r.Set("", "List", platform::kRegMultiSz, Raw(std::string_view("a\0b\0c\0\0", 7)));
    r.Delete("", "OldList");
    r.Set("", "NewList", platform::kRegMultiSz, Raw(std::string_view("n\0\0", 3)));
    r.Set("", "Big", platform::kRegQword, Raw(std::string_view("\11\0\0\0\0\0\0\0", 8)));
    r.Delete("", "OldBig");
    r.Set("", "NewBig", platform::kRegQword, Raw(std::string_view("\0\0\0\0\0\0\0\1", 8)));
    r.Set("", "Flag", platform::kRegNone, {2});
    r.Delete("", "Nothing");
    r.Set("", "Empty", platform::kRegNone, {});
    r.Set("", "Typed", platform::kRegExpandSz, Raw(std::string_view("same\0", 5)));
    r.Set("", "Num", platform::kRegQword, {5, 0, 0, 0, 0, 0, 0, 0});
    r.Delete("Sub", "Exp");
    r.DeleteKey("Sub");
}

// Every line of the uninstall, in the uninstaller's order.
inline std::vector<std::string> ExpectedLines(const std::string& fullKey) {
    std::vector<std::string> lines;
    for (const char* name : {"Empty", "NewBig", "NewList"}) {
        lines.push_back("DELETING REGISTRY VALUE: " + fullKey + "\\" + name + " ... Ok");
    }
    for (const char* name : {"Big", "Flag", "List", "Num", "Path", "Typed"}) {
        lines.push_back("RESTORING REGISTRY VALUE: " + fullKey + "\\" + name + " ... Ok");
    }
    lines.push_back("CREATING REGISTRY KEY: " + fullKey + "\\Sub ... Ok");
    lines.push_back("CREATING REGISTRY VALUE: " + fullKey + "\\Sub\\Exp ... Ok");
    for (const char* name : {"Nothing", "OldBig", "OldList"}) {
        lines.push_back("CREATING REGISTRY VALUE: " + fullKey + "\\" + name + " ... Ok");
    }
    lines.push_back("Uninstall complete without errors");
    return lines;
}

}  // namespace kelvora::testing
