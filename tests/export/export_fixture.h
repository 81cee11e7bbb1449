// A changes tree with a change of every kind and every value type, saved as
// an archive and loaded back as an uninstall loads it, for the export tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "changes/archive_load.h"
#include "changes/archive_save.h"
#include "changes/chg_archive.h"
#include "changes/value_type.h"
#include "export/change_walk.h"
#include "platform/memory/memory_platform.h"
#include "support/change_records.h"

namespace kelvora::test {

inline std::string Dword(std::uint32_t v) {
    return std::string{static_cast<char>(v & 255), static_cast<char>((v >> 8) & 255),
                       static_cast<char>((v >> 16) & 255), static_cast<char>(v >> 24)};
}

class ExportFixture : public ::testing::Test {
protected:
    struct NoStop : IWorkerControl {
        bool Terminated() const override { return false; }
        void PausePoint() override {}
    };

    void AddReg(TChangeKind kind, const std::string& key, const std::string& name, std::int32_t type = 0,
                std::string_view before = {}, std::string_view after = {}, std::uint32_t root = kHklm) {
        std::string placement = std::string(RootKeyName(root)) + (key.empty() ? "" : "\\" + key);
        source.AddToTree(placement, name, Rec(kind, key, root, type, before, after));
    }
    void AddFile(TChangeKind kind, const std::string& folder, const std::string& name, const char* before = nullptr,
                 const char* after = nullptr) {
        TNodeData d = Rec(kind, folder);
        if (before != nullptr) d.SetOldText(before);
        if (after != nullptr) d.SetNewText(after);
        source.AddToTree(folder, name, std::move(d));
    }

    // Every kind of change; names with quotes, %, ^, &, !, spaces and
    // characters beyond ASCII; every value type.
    void AddEverything() {
        source.StartFill(false);
        AddReg(ckRegKeyCreated, "Software", "Vendor");
        AddReg(ckRegKeyCreated, "Software\\Vendor", "Sub \"q\" %x%");
        AddReg(ckRegValueCreated, "Software\\Vendor", "", 1, {}, std::string("d\xC3\xA9" "faut\0", 8));
        AddReg(ckRegValueCreated, "Software\\Other", "Text \"quoted\" \\ back", 1, {}, std::string("a \"b\" \\c\0", 10));
        AddReg(ckRegValueCreated, "Software\\Other", "Expand", 2, {}, std::string("%SystemRoot%\\\xE6\x96\x87\0", 17));
        AddReg(ckRegValueCreated, "Software\\Other", "Multi", 7, {}, std::string("one\0two\0\0", 9));
        AddReg(ckRegValueCreated, "Software\\Other", "Qword", 11, {}, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
        AddReg(ckRegValueCreated, "Software\\Other", "None", 0, {}, {});
        AddReg(ckRegValueCreated, "Software\\Other", "Link", 6, {}, Bytes({0x41, 0, 0x42, 0}));
        AddReg(ckRegValueCreated, "Software\\Other", "Line\nbreak data", 1, {}, std::string("x\r\ny\0", 5));
        AddReg(ckRegValueChanged, "Software\\Other", "Count", 4, Dword(1), Dword(0xFFFFFFFFu));
        AddReg(ckRegValueChanged, "Software\\Other", "Retyped", ChangedValueType(1, 4), std::string("7\0", 2), Dword(7));
        AddReg(ckRegValueDeleted, "Software\\Other", "Bin ^&!%", 3, Bytes({0x48, 0x69, 0, 0xFF}));
        AddReg(ckRegKeyDeleted, "Software", "Gone \xC3\xBC", 0, {}, {}, kHkcu);
        AddReg(ckSharedCounterIncremented, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
               "C:\\Common\\a & b%.dll", 4, {}, Dword(1));
        AddReg(ckSharedCounterIncremented, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
               "C:\\Common\\text.dll", 1, {}, std::string("2\0", 2));
        AddFile(ckFolderCreated, "C:\\App", "Data 100%");
        AddFile(ckFolderCreated, "C:\\App\\Data 100%", "Deep");
        AddFile(ckFolderDeleted, "C:\\App", "Old");
        AddFile(ckFileCreated, "C:\\App\\Data 100%", "f & g^h!i \xE6\x96\x87.txt", nullptr, "10:00 01/02/26 20");
        AddFile(ckFileChanged, "C:\\App", "a.ini", "09:00 01/02/26 5", "10:00 01/02/26 7");
        AddFile(ckFileDeleted, "C:\\App", "d.txt", "09:00 01/02/26 3");
        AddFile(ckFileMovedFrom, "C:\\Old", "m.txt", "08:00 01/02/26 3");
        AddFile(ckFileMovedTo, "C:\\New", "m.txt", nullptr, "08:00 01/02/26 3");
        source.FinishFill();
    }

    // Marks the changes of source with these names as activity.
    void MarkActivity(std::initializer_list<std::pair<std::string_view, TActivityReason>> marks) {
        auto access = source.Lock();
        std::vector<NodeId> nodes;
        ForEachChange(access, kNoNode, os.collation, [&](NodeId node) { nodes.push_back(node); });
        for (NodeId node : nodes)
            for (const auto& [name, reason] : marks)
                if (access.Data(node).Name == name) access.SetActivity(node, reason);
    }

    // Saves source as the archive C:\Kelvora\App.qor and loads it into loaded
    // in uninstall mode.
    void SaveAndLoad() {
        context.ProgramFolder = "C:\\Kelvora";
        context.AppIdentifier = "App";
        os.files.CreateFolder("C:\\Kelvora");
        TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\App");
        SaveChangesTree(source, archive);
        loaded.StartFill(true);
        NoStop control;
        ASSERT_EQ(LoadCheckTree(context, os.files, os.clock, loaded, control, [](int) {}), TWorkEnd::Completed);
        loaded.FinishFill();
    }

    platform::memory::MemoryPlatform os;
    AppContext context;
    TSettings settings;
    ChangesTree source{settings};
    ChangesTree loaded{settings};
};

}  // namespace kelvora::test
