#include "uninstall/shared_files.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/memory/memory_platform.h"

namespace kelvora {
namespace {

using platform::kLocalMachine;
using platform::memory::MemoryPlatform;

struct NoStop : IWorkerControl {
    bool stop = false;
    bool Terminated() const override { return stop; }
    void PausePoint() override {}
};

struct ScriptedQuestion : IRemoveSharedQuestion {
    std::vector<int> answers;
    std::vector<std::string> asked;
    int AskRemoveShared(const std::string& fileName, const std::string& folder) override {
        asked.push_back(folder + "|" + fileName);
        const int answer = answers.empty() ? kAnswerYes : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        return answer;
    }
};

std::vector<std::uint8_t> Dword(std::int32_t n) {
    std::vector<std::uint8_t> data(4);
    std::memcpy(data.data(), &n, 4);
    return data;
}
std::vector<std::uint8_t> Text(std::string_view text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

class SharedFiles : public ::testing::Test {
protected:
    Outcome Lower(std::string_view file, std::uint32_t type, const std::vector<std::uint8_t>& increment) {
        return UpdateSharedCounter(os.registry, kLocalMachine, kSharedDllsKey, file, type, increment, unused);
    }
    std::vector<std::uint8_t> Counter(std::string_view file, std::uint32_t* type = nullptr) {
        platform::RegKey key;
        if (os.registry.OpenKey(kLocalMachine, kSharedDllsKey, platform::kKeyRead, key) != 0) return {};
        std::uint32_t t = 0;
        std::vector<std::uint8_t> data;
        if (os.registry.QueryValue(key, file, t, data) != 0) return {};
        if (type != nullptr) *type = t;
        return data;
    }
    std::vector<std::string> RemoveAll(ScriptedQuestion& question) {
        std::vector<std::string> lines;
        RemoveUnusedShared(os.platform, unused, question, control, [&](const std::string& file, Outcome outcome) {
            lines.push_back(file + " ... " + outcome.text->English);
        });
        return lines;
    }

    MemoryPlatform os;
    NoStop control;
    std::vector<std::string> unused;
};

TEST_F(SharedFiles, RegisteredFilesAreKnownByTheirLongNames) {
    EXPECT_TRUE(BuildSharedFiles(os.registry, os.files).empty());

    ASSERT_TRUE(os.files.AddFile("C:\\Program Files\\Common Files\\Lib.dll", "x"));
    ASSERT_TRUE(os.files.AddShortName("C:\\Program Files", "PROGRA~1"));
    ASSERT_TRUE(os.files.AddShortName("C:\\Program Files\\Common Files", "COMMON~1"));
    os.registry.PutDword(kLocalMachine, kSharedDllsKey, "c:\\PROGRA~1\\COMMON~1\\lib.dll", 1);
    os.registry.PutDword(kLocalMachine, kSharedDllsKey, "C:\\Gone\\old.dll", 1);

    const SharedFileSet shared = BuildSharedFiles(os.registry, os.files);
    EXPECT_EQ(shared.size(), 2u);
    EXPECT_TRUE(shared.contains("C:\\PROGRAM FILES\\Common Files\\Lib.dll"));
    EXPECT_TRUE(shared.contains("c:\\gone\\old.dll"));
    EXPECT_FALSE(shared.contains("C:\\PROGRA~1\\COMMON~1\\lib.dll"));
    EXPECT_EQ(os.registry.OpenHandles(), 0u);
}

TEST_F(SharedFiles, CountersAreLoweredInTheirOwnType) {
    os.registry.PutDword(kLocalMachine, kSharedDllsKey, "C:\\three.dll", 3);
    os.registry.PutDword(kLocalMachine, kSharedDllsKey, "C:\\one.dll", 1);
    os.registry.PutString(kLocalMachine, kSharedDllsKey, "C:\\text.dll", "5");
    os.registry.PutString(kLocalMachine, kSharedDllsKey, "C:\\new.dll", "1");

    EXPECT_EQ(Lower("C:\\three.dll", platform::kRegDword, Dword(1)), kOutcomeOk);
    EXPECT_EQ(Counter("C:\\three.dll"), Dword(2));
    EXPECT_EQ(Lower("C:\\one.dll", platform::kRegDword, Dword(1)), kOutcomeOk);
    EXPECT_EQ(Counter("C:\\one.dll"), Dword(0));
    // A raised text counter is recorded with a REG_DWORD amount.
    EXPECT_EQ(Lower("C:\\text.dll", platform::kRegDword, Dword(2)), kOutcomeOk);
    std::uint32_t type = 0;
    EXPECT_EQ(Counter("C:\\text.dll", &type), Text("3"));
    EXPECT_EQ(type, platform::kRegSz);
    // A counter that the installation created holds its whole text.
    EXPECT_EQ(Lower("C:\\new.dll", platform::kRegSz, Text("1")), kOutcomeOk);
    EXPECT_EQ(Counter("C:\\new.dll"), Text("0"));
    EXPECT_EQ(unused, (std::vector<std::string>{"C:\\one.dll", "C:\\new.dll"}));
    EXPECT_EQ(os.registry.OpenHandles(), 0u);
}

TEST_F(SharedFiles, CountersThatCannotBeLowered) {
    os.registry.PutString(kLocalMachine, kSharedDllsKey, "C:\\words.dll", "many");
    os.registry.Put(kLocalMachine, kSharedDllsKey, "C:\\binary.dll", platform::kRegBinary, {1, 0, 0, 0});
    os.registry.Put(kLocalMachine, kSharedDllsKey, "C:\\long.dll", platform::kRegSz, Text("00000000000000001"));

    EXPECT_EQ(Lower("C:\\missing.dll", platform::kRegDword, Dword(1)), kOutcomeCounterDeleted);
    EXPECT_EQ(Lower("C:\\long.dll", platform::kRegDword, Dword(1)), kOutcomeCounterDeleted);
    EXPECT_EQ(Lower("C:\\binary.dll", platform::kRegDword, Dword(1)), kOutcomeOk);
    EXPECT_EQ(Counter("C:\\binary.dll"), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(Lower("C:\\words.dll", platform::kRegDword, Dword(1)), kOutcomeError);
    EXPECT_EQ(Counter("C:\\words.dll"), Text("many"));
    EXPECT_EQ(UpdateSharedCounter(os.registry, kLocalMachine, "Software\\NoSuchKey", "C:\\x.dll", platform::kRegDword,
                                  Dword(1), unused),
              kOutcomeOk);
    // A counters key that refuses access keeps its counter raised: an error.
    os.registry.PutDword(kLocalMachine, kSharedDllsKey, "C:\\kept.dll", 1);
    ASSERT_TRUE(os.registry.SetWriteDenied(kLocalMachine, kSharedDllsKey, true));
    EXPECT_EQ(Lower("C:\\kept.dll", platform::kRegDword, Dword(1)), kOutcomeAccessDenied);
    EXPECT_EQ(Counter("C:\\kept.dll"), Dword(1));
    EXPECT_TRUE(unused.empty());
}

TEST_F(SharedFiles, NoToAllAtTheFirstFileKeepsEveryFileButRemovesEveryCounter) {
    for (const char* file : {"C:\\Lib\\a.dll", "C:\\Lib\\b.dll"}) {
        ASSERT_TRUE(os.files.AddFile(file, "x"));
        os.registry.PutDword(kLocalMachine, kSharedDllsKey, file, 0);
        unused.emplace_back(file);
    }
    ScriptedQuestion question;
    question.answers = {kAnswerNoToAll};
    EXPECT_EQ(RemoveAll(question),
              (std::vector<std::string>{"C:\\Lib\\a.dll ... Ok (Skipped)", "C:\\Lib\\b.dll ... Ok (Skipped)"}));
    EXPECT_EQ(question.asked, std::vector<std::string>{"C:\\Lib\\|a.dll"});
    EXPECT_TRUE(os.files.Exists("C:\\Lib\\a.dll"));
    EXPECT_TRUE(os.files.Exists("C:\\Lib\\b.dll"));
    EXPECT_TRUE(Counter("C:\\Lib\\a.dll").empty());
    EXPECT_TRUE(Counter("C:\\Lib\\b.dll").empty());
}

TEST_F(SharedFiles, YesAndNoAskAgainWhileYesToAllDecidesForTheRest) {
    for (const char* file : {"C:\\a.dll", "C:\\b.dll", "C:\\missing.dll", "C:\\c.dll", "C:\\used.dll", "C:\\d.dll"}) {
        if (std::string_view(file) != "C:\\missing.dll") {
            ASSERT_TRUE(os.files.AddFile(file, "x"));
        }
        unused.emplace_back(file);
    }
    ASSERT_TRUE(os.files.SetInUse("C:\\used.dll", true));
    ScriptedQuestion question;
    question.answers = {kAnswerNo, kAnswerYes, kAnswerYesToAll};
    EXPECT_EQ(RemoveAll(question),
              (std::vector<std::string>{
                  "C:\\a.dll ... Ok (Skipped)", "C:\\b.dll ... Ok",
                  "C:\\missing.dll ... ERROR (shared file already deleted -> application is already uninstalled?)",
                  "C:\\c.dll ... Ok", "C:\\used.dll ... ERROR (in use)", "C:\\d.dll ... Ok"}));
    EXPECT_EQ(question.asked, (std::vector<std::string>{"C:\\|a.dll", "C:\\|b.dll", "C:\\|c.dll"}));
    // Here the Recycle Bin is used whatever the setting says.
    EXPECT_EQ(os.shell.Recycled(), (std::vector<std::string>{"C:\\b.dll", "C:\\c.dll", "C:\\d.dll"}));
}

TEST_F(SharedFiles, ADialogClosedWithoutAnswerKeepsTheRestAndAStopEndsTheRemoval) {
    for (const char* file : {"C:\\a.dll", "C:\\b.dll"}) {
        ASSERT_TRUE(os.files.AddFile(file, "x"));
        unused.emplace_back(file);
    }
    ScriptedQuestion question;
    question.answers = {2};
    EXPECT_EQ(RemoveAll(question), (std::vector<std::string>{"C:\\a.dll ... Ok (Skipped)", "C:\\b.dll ... Ok (Skipped)"}));
    EXPECT_EQ(question.asked.size(), 1u);

    control.stop = true;
    EXPECT_TRUE(RemoveAll(question).empty());
}

}  // namespace
}  // namespace kelvora
