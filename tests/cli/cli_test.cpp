#include "cli/cli_commands.h"

#include <gtest/gtest.h>

#include <deque>

#include "cli/display_width.h"
#include "kelvora_version.h"
#include "monitoring/monitoring.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings_store.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;

// Records what a command writes and answers its questions from a script.
class RecordingConsole final : public ICliConsole {
public:
    std::string out;
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    std::deque<std::string> answers;

    void Write(std::string_view text) override { out += text; }
    void Error(std::string_view line) override { errors.emplace_back(line); }
    void Status(std::string_view) override {}
    void Progress(int, int) override {}
    void EndProgress() override {}
    std::optional<std::string> Ask(std::string_view question) override {
        questions.emplace_back(question);
        if (answers.empty()) return std::nullopt;
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::string DateTimeText(double when, bool) override { return "T" + std::to_string(static_cast<int>(when)); }
};

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        memory.files.AddFolder("C:\\Kelvora");
        memory.files.AddFolder("C:\\Users\\me");
        memory.files.SetCurrentDir("C:\\Users\\me");
        memory.registry.PutString(kCurrentUser, "Software\\Old", "Keep", "1");
        memory.files.AddFile("C:\\App\\old.txt", "old");
        memory.registry.CreateKey(platform::kLocalMachine, std::string(kRunKeyPath), runKey);
        context.ProgramFolder = "C:\\Kelvora";
        InitialiseSettings(context, memory.registry);
        context.Settings.LogLevel = 7;
    }

    int Run(std::vector<std::string> args) {
        console = RecordingConsole{};
        memory.files.SetCurrentDir("C:\\Users\\me");
        console.answers = std::move(nextAnswers);
        nextAnswers.clear();
        return RunCliArguments(args, env);
    }
    bool Exists(std::string_view path) { return memory.files.Exists(path); }
    // A monitoring of App that finds one created key and value: App.qor.
    void MonitorApp() {
        ASSERT_EQ(Run({"scan", "App", "--hkcu"}), kExitOk);
        memory.registry.PutString(kCurrentUser, "Software\\Vendor", "Path", "C:\\App");
        ASSERT_EQ(Run({"rescan"}), kExitOk);
    }

    platform::memory::MemoryPlatform memory;
    platform::Dispatcher dispatcher;
    AppContext context;
    RecordingConsole console;
    std::deque<std::string> nextAnswers;
    std::atomic<bool> interrupted{false};
    platform::RegKey runKey;
    CliEnv env{memory.platform, dispatcher, context, console, "C:\\Kelvora\\Kelvora.exe", interrupted};
};

TEST_F(CliTest, BadUsageAndBadInputEndWithStatusTwoAndOneLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"frobnicate"}, "Unknown command 'frobnicate'. See kelvora-cli --help."},
        {{"show"}, "Wrong number of arguments. See kelvora-cli show --help."},
        {{"list", "--hex"}, "Unknown option '--hex'. See kelvora-cli list --help."},
        {{"uninstall", "App", "--remove-shared=maybe"}, "--remove-shared takes yes or no."},
        {{"uninstall", "App", "--log-level=8"},
         "--log-level takes a number from 0 to 7: the sum of 1 errors, 2 warnings, 4 successful actions."},
        {{"scan", "App", "--workers=0"}, "--workers takes a number from 1 to 64: the threads a scan walks with at once."},
        {{"scan", "a:b", "--hkcu"},
         "An identifier can't contain control characters or any of the characters \\ / : * ? \" < > |"},
        {{"scan", "CON", "--hkcu"}, "'CON' is a device name reserved by Windows and can't be used as an identifier."},
        {{"show", "Missing"}, "There is no monitored application 'Missing'."},
        {{"rescan"}, "No monitoring is in progress."},
        {{"cancel"}, "No monitoring is in progress."},
        {{"scan", "App", "--other", "C:\\Nowhere"}, "Invalid path: C:\\Nowhere"},
        {{"scan", "App"}, ""},  // placeholder replaced below: no targets
    };
    context.Settings = TSettings{};
    for (bool TSettings::*target : {&TSettings::ScanHKCR, &TSettings::ScanHKLM, &TSettings::ScanHKUS,
                                    &TSettings::ScanWin, &TSettings::ScanProg, &TSettings::ScanEntire}) {
        context.Settings.*target = false;
    }
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(Run(args), kExitUsage);
        ASSERT_EQ(console.errors.size(), 1u);
        EXPECT_EQ(console.errors[0], message.empty() ? "No target to scan." : message);
        EXPECT_TRUE(console.out.empty());
    }
    memory.files.AddFile("C:\\Kelvora\\Junk.qor", "not an archive at all, really not");
    EXPECT_EQ(Run({"uninstall", "Junk", "--yes"}), kExitUsage);
    EXPECT_EQ(console.errors, (std::vector<std::string>{"Invalid file format !"}));
    EXPECT_TRUE(Exists("C:\\Kelvora\\Junk.qor"));

    EXPECT_EQ(Run({"export", "--help"}), kExitOk);
    EXPECT_EQ(console.out.rfind("Usage: kelvora-cli export ID FILE [--format=text|html|json] [--hex]\n", 0), 0u);
    EXPECT_EQ(Run({"export", "App", "x", "--format=pdf"}), kExitUsage);
    EXPECT_EQ(console.errors, (std::vector<std::string>{"--format takes text, html or json."}));
}

TEST_F(CliTest, MonitoringFromScanToUninstall) {
    ASSERT_EQ(Run({"scan", "App", "--hkcu", "--other", "C:\\App", "--workers", "3"}), kExitOk) << console.errors.at(0);
    EXPECT_TRUE(Exists("C:\\Kelvora\\HKCU.SNS"));
    EXPECT_TRUE(Exists("C:\\Kelvora\\FIS2.SNS"));
    EXPECT_EQ(ReadResumeMarker(memory.files, "C:\\Kelvora"), "App");
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(memory.registry.QueryValue(runKey, "Kelvora", type, data), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(data.data()), "C:\\Kelvora\\Kelvora.exe");
    // The targets are stored as the wizard stores them.
    TSettings stored;
    LoadSettings(memory.registry, stored, "C:\\Kelvora");
    EXPECT_TRUE(stored.ScanHKCU && stored.ScanOthers && !stored.ScanHKLM && !stored.ScanWin);
    EXPECT_EQ(stored.ScanOtherPaths, "C:\\App");
    EXPECT_EQ(stored.ScanWorkers, 3);
    // A second monitoring cannot begin before this one ends.
    EXPECT_EQ(Run({"scan", "Other", "--hkcu"}), kExitUsage);

    // The installation.
    memory.registry.PutString(kCurrentUser, "Software\\Vendor", "Path", "C:\\App");
    memory.registry.PutDword(kCurrentUser, "Software\\Old", "Keep", 2);
    memory.files.AddFile("C:\\App\\new.dll", "new");

    ASSERT_EQ(Run({"rescan"}), kExitOk) << console.errors.at(0);
    EXPECT_EQ(console.out, "Changes saved as 'App':\n"
                           "       1  (+)(REG KEY)\n"
                           "       1  (+)(REG VAL)\n"
                           "       1  (*)(REG VAL)\n"
                           "       1  (+)(FILE)\n"
                           "4 changes by the setup, 0 activity\n");
    EXPECT_FALSE(Exists("C:\\Kelvora\\Continue.dat"));
    EXPECT_FALSE(Exists("C:\\Kelvora\\HKCU.SNS"));
    EXPECT_NE(memory.registry.QueryValue(runKey, "Kelvora", type, data), 0);

    ASSERT_EQ(Run({"list"}), kExitOk);
    EXPECT_EQ(console.out, "Name  Created  Last used  Uses\nApp   T44986              0\n");

    ASSERT_EQ(Run({"show", "App"}), kExitOk);
    EXPECT_NE(console.out.find("    (+)(REG KEY) HKEY_CURRENT_USER\\Software\\Vendor\r\n"
                               "      (+)(REG VAL) Path = 'C:\\App'\r\n"),
              std::string::npos)
        << console.out;
    // A relative export file is the user's, not the program folder's.
    ASSERT_EQ(Run({"export", "App", "app.txt"}), kExitOk);
    EXPECT_EQ(memory.files.Text("C:\\Users\\me\\app.txt").substr(0, 15), "'App' changes\r\n");
    EXPECT_EQ(console.out, "Changes of 'App' written to C:\\Users\\me\\app.txt\n");
    ASSERT_EQ(Run({"export", "App", "app.json", "--format=json"}), kExitOk);
    EXPECT_EQ(memory.files.Text("C:\\Users\\me\\app.json").substr(0, 44), "{\"format\":\"kelvora-changes\",\"version\":1,\"ide");
    ASSERT_EQ(Run({"export", "App", "app.html", "--format=html"}), kExitOk);
    EXPECT_EQ(memory.files.Text("C:\\Users\\me\\app.html").substr(0, 15), "<!DOCTYPE html>");
    memory.files.AddFolder("C:\\Users\\me\\pkg");
    ASSERT_EQ(Run({"undo-package", "App", "pkg"}), kExitOk) << console.errors.at(0);
    EXPECT_EQ(console.out, "Undo package of 'App' written: C:\\Users\\me\\pkg\\App-undo.reg, "
                           "C:\\Users\\me\\pkg\\App-undo.cmd\n");
    EXPECT_NE(memory.files.Text("C:\\Users\\me\\pkg\\App-undo.cmd").find("set \"P=C:\\App\\new.dll\""),
              std::string::npos);

    // Declined, nothing happens; confirmed, the changes go and the log is kept.
    nextAnswers = {"n"};
    EXPECT_EQ(Run({"uninstall", "App"}), kExitOk);
    EXPECT_EQ(console.questions, (std::vector<std::string>{"Are you sure you want to uninstall 'App' ? (y/n)"}));
    EXPECT_EQ(console.out, "Nothing was uninstalled.\n");
    EXPECT_TRUE(Exists("C:\\App\\new.dll"));
    // --log-level shows this run's actions whatever the setting says.
    context.Settings.LogLevel = 0;
    ASSERT_EQ(Run({"uninstall", "App", "--yes", "--log-level", "7"}), kExitOk) << console.out;
    EXPECT_EQ(context.Settings.LogLevel, 0);
    EXPECT_FALSE(Exists("C:\\App\\new.dll"));
    EXPECT_TRUE(Exists("C:\\App\\old.txt"));
    EXPECT_FALSE(memory.registry.KeyExists(kCurrentUser, "Software\\Vendor"));
    EXPECT_NE(console.out.find("DELETING FILE: C:\\App\\new.dll ... Ok\n"), std::string::npos) << console.out;
    // One closing line.
    EXPECT_TRUE(console.out.ends_with("new.dll ... Ok\nUninstall complete without errors\n")) << console.out;
    EXPECT_NE(memory.files.Text("C:\\Kelvora\\Log.txt").find("App T44986\r\n----"), std::string::npos);

    ASSERT_EQ(Run({"list"}), kExitOk);
    EXPECT_EQ(console.out, "Name  Created  Last used  Uses\nApp   T44986   T44986     1\n");
    ASSERT_EQ(Run({"rename", "App", "App2"}), kExitOk);
    ASSERT_EQ(Run({"delete", "App2", "--yes"}), kExitOk);
    EXPECT_FALSE(Exists("C:\\Kelvora\\App2.qor"));
}

TEST_F(CliTest, CancelGivesTheMonitoringUp) {
    ASSERT_EQ(Run({"scan", "App", "--hkcu"}), kExitOk);
    ASSERT_EQ(Run({"cancel"}), kExitOk);
    EXPECT_FALSE(Exists("C:\\Kelvora\\Continue.dat"));
    EXPECT_FALSE(Exists("C:\\Kelvora\\HKCU.SNS"));
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    EXPECT_NE(memory.registry.QueryValue(runKey, "Kelvora", type, data), 0);
    EXPECT_EQ(Run({"rescan"}), kExitUsage);
}

TEST_F(CliTest, InterruptStopsTheScanAndRemovesItsSnapshots) {
    for (int k = 0; k < 200; ++k) memory.registry.PutDword(kCurrentUser, "Software\\K" + std::to_string(k), "v", 1);
    interrupted = true;
    EXPECT_EQ(Run({"scan", "App", "--hkcu"}), kExitFailed);
    EXPECT_EQ(console.errors, (std::vector<std::string>{"Scanning canceled."}));
    EXPECT_FALSE(Exists("C:\\Kelvora\\HKCU.SNS"));
    EXPECT_FALSE(Exists("C:\\Kelvora\\Continue.dat"));
}

TEST_F(CliTest, ARescanThatFindsNothingSaysThatNoArchiveWasSaved) {
    ASSERT_EQ(Run({"scan", "App", "--hkcu"}), kExitOk);
    ASSERT_EQ(Run({"rescan"}), kExitOk);
    EXPECT_EQ(console.out, "No changes found; no archive was saved for 'App'.\n");
    EXPECT_FALSE(Exists("C:\\Kelvora\\App.qor"));
}

TEST_F(CliTest, AQuestionNamesItsApplicationAndNeedsSomeoneToAnswerIt) {
    MonitorApp();
    // No console (no answer at all): nothing is done, and --yes is asked for.
    for (const char* verb : {"uninstall", "delete"}) {
        SCOPED_TRACE(verb);
        EXPECT_EQ(Run({verb, "App"}), kExitUsage);
        EXPECT_EQ(console.errors, (std::vector<std::string>{
                                      "There is no console to ask for confirmation; add --yes to go ahead without asking."}));
    }
    EXPECT_TRUE(memory.registry.KeyExists(kCurrentUser, "Software\\Vendor"));
    nextAnswers = {"n"};
    EXPECT_EQ(Run({"delete", "App"}), kExitOk);
    EXPECT_EQ(console.questions, (std::vector<std::string>{"You will not be able to restore the changes made by 'App'.\n"
                                                           "Are you sure you want to continue ? (y/n)"}));
    EXPECT_EQ(console.out, "'App' was not deleted.\n");
    EXPECT_TRUE(Exists("C:\\Kelvora\\App.qor"));
}

TEST_F(CliTest, AScanRefusesToReplaceAnArchiveUnlessToldTo) {
    MonitorApp();
    EXPECT_EQ(Run({"scan", "App", "--hkcu"}), kExitUsage);
    EXPECT_EQ(console.errors, (std::vector<std::string>{
                                  "An archive of 'App' exists: C:\\Kelvora\\App.qor. Add --replace to replace it when "
                                  "the new monitoring is saved."}));
    EXPECT_FALSE(Exists("C:\\Kelvora\\HKCU.SNS"));
    EXPECT_FALSE(Exists("C:\\Kelvora\\Continue.dat"));
    ASSERT_EQ(Run({"scan", "App", "--hkcu", "--replace"}), kExitOk) << console.errors.at(0);
    EXPECT_EQ(ReadResumeMarker(memory.files, "C:\\Kelvora"), "App");
    // Nor does a rename onto it; a change of letter case is no other archive.
    ASSERT_EQ(Run({"cancel"}), kExitOk);
    memory.files.AddFile("C:\\Kelvora\\Old.qor", "x");
    EXPECT_EQ(Run({"rename", "Old", "app"}), kExitUsage);
    EXPECT_EQ(console.errors, (std::vector<std::string>{"Rename failed ! An archive of 'app' exists already."}));
    EXPECT_EQ(Run({"rename", "App", "APP"}), kExitOk);
}

TEST_F(CliTest, TargetsThatCannotBeStoredStartNoScan) {
    platform::RegKey key;
    memory.registry.CreateKey(kCurrentUser, kSettingsKeyPath, key);
    ASSERT_TRUE(memory.registry.SetWriteDenied(kCurrentUser, kSettingsKeyPath, true));
    EXPECT_EQ(Run({"scan", "App", "--hkcu"}), kExitFailed);
    EXPECT_EQ(console.errors,
              std::vector<std::string>{"Failed to set data for '" + std::string(kSettingsKeyPath) + "'"});
    EXPECT_FALSE(Exists("C:\\Kelvora\\HKCU.SNS"));
    EXPECT_FALSE(Exists("C:\\Kelvora\\Continue.dat"));
}

TEST_F(CliTest, ShowAndUninstallSayWhatTheIgnoreListsHide) {
    MonitorApp();
    context.Settings.IgnoredKeys.Add("HKEY_CURRENT_USER\\Software\\Vendor");
    ASSERT_EQ(Run({"show", "App"}), kExitOk);
    EXPECT_TRUE(console.out.ends_with("\r\n2 changes hidden by the ignore lists\n")) << console.out;
    ASSERT_EQ(Run({"uninstall", "App", "--yes"}), kExitOk);
    EXPECT_EQ(console.out.rfind("2 changes hidden by the ignore lists\n", 0), 0u) << console.out;
    EXPECT_TRUE(memory.registry.KeyExists(kCurrentUser, "Software\\Vendor"));
}

TEST_F(CliTest, AnUninstallWithoutErrorsCountsItsWarnings) {
    MonitorApp();
    memory.registry.DeleteKey(kCurrentUser, "Software\\Vendor");  // gone before the undo
    ASSERT_EQ(Run({"uninstall", "App", "--yes"}), kExitOk);
    EXPECT_TRUE(console.out.ends_with("FAILS (not found)\nUninstall complete without errors, 2 warnings\n"))
        << console.out;
}

TEST_F(CliTest, AnUninstallWithErrorsSaysSoInItsOneClosingLine) {
    MonitorApp();
    memory.registry.PutString(kCurrentUser, "Software\\Vendor\\Later", "x", "1");  // not the setup's
    EXPECT_EQ(Run({"uninstall", "App", "--yes"}), kExitFailed);
    EXPECT_TRUE(console.out.ends_with("Vendor ... ERROR (has sub-keys)\nUninstall complete; failed actions: 1.\n"))
        << console.out;
}

TEST_F(CliTest, ListLinesUpNamesAsTheConsoleShowsThem) {
    MonitorApp();
    const std::string archive = memory.files.Text("C:\\Kelvora\\App.qor");
    memory.files.AddFile("C:\\Kelvora\\Zo\xC3\xAB.qor", archive);                   // Zoë
    memory.files.AddFile("C:\\Kelvora\\\xE6\x97\xA5\xE6\x9C\xAC.qor", archive);  // 日本
    ASSERT_EQ(Run({"list"}), kExitOk);
    EXPECT_EQ(console.out, "Name  Created  Last used  Uses\n"
                           "App   T44986              0\n"
                           "Zo\xC3\xAB   T44986              0\n"
                           "\xE6\x97\xA5\xE6\x9C\xAC  T44986              0\n");
}

TEST(DisplayWidth, CountsTheCellsAConsoleShows) {
    EXPECT_EQ(DisplayWidth("Zo\xC3\xAB"), 3u);                       // Zoë, two bytes for one cell
    EXPECT_EQ(DisplayWidth("Zoe\xCC\x88"), 3u);                      // a combining diaeresis
    EXPECT_EQ(DisplayWidth("\xE6\x97\xA5\xEF\xBD\xB6"), 3u);         // 日 is wide, halfwidth ｶ is not
    EXPECT_EQ(DisplayWidth("\xF0\x9F\x8C\x8D"), 2u);                  // 🌍
    EXPECT_EQ(DisplayWidth("a\xFF\xE6\x97"), 4u);                     // each byte of broken UTF-8: one cell
    EXPECT_EQ(DisplayWidth("\xC0\xAF\xED\xA0\x80"), 5u);             // overlong form, surrogate
}

TEST_F(CliTest, WithoutElevationTheCommandsThatReachASetupsWorkRunOnlyWhenToldTo) {
    env.Elevated = false;
    const std::string refusal =
        "Not elevated: without an administrator's rights this command reaches only part of what setups write. "
        "Run kelvora-cli as administrator, or add --partial to accept a partial run.";
    ASSERT_EQ(Run({"scan", "App", "--hkcu"}), kExitUsage);
    EXPECT_EQ(console.errors, std::vector<std::string>{refusal});
    // Refused before anything: no snapshot, no marker, no stored targets.
    EXPECT_FALSE(Exists("C:\\Kelvora\\HKCU.SNS"));
    EXPECT_FALSE(Exists("C:\\Kelvora\\Continue.dat"));
    EXPECT_TRUE(context.Settings.ScanHKLM);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"rescan"}, {"uninstall", "Missing", "--yes"}}) {
        EXPECT_EQ(Run(args), kExitUsage);
        EXPECT_EQ(console.errors, std::vector<std::string>{refusal});
    }
    EXPECT_EQ(Run({"list", "--partial"}), kExitUsage);  // only those commands take it
    EXPECT_EQ(Run({"list"}), kExitOk);
    EXPECT_EQ(Run({"--version"}), kExitOk);
    EXPECT_EQ(console.out, "kelvora-cli " KELVORA_VERSION "\n");

    ASSERT_EQ(Run({"scan", "App", "--hkcu", "--partial"}), kExitOk) << console.errors.at(0);
    EXPECT_TRUE(Exists("C:\\Kelvora\\HKCU.SNS"));
    memory.registry.PutString(kCurrentUser, "Software\\Vendor", "Path", "C:\\App");
    ASSERT_EQ(Run({"rescan", "--partial"}), kExitOk) << console.errors.at(0);
    ASSERT_EQ(Run({"uninstall", "App", "--yes", "--partial"}), kExitOk) << console.out;
    EXPECT_FALSE(memory.registry.KeyExists(kCurrentUser, "Software\\Vendor"));
}

// Seconds after 1970 as a FILETIME.
constexpr std::uint64_t At(std::uint64_t seconds) { return 116444736000000000ull + seconds * 10000000ull; }

// A busy machine: something writes before the setup starts (200), the setup
// writes (400), something writes after it ended (600); the setup runs from
// 300 to 500.
class CliMonitorTest : public CliTest {
protected:
    CliMonitorTest() {
        memory.registry.PutDword(kCurrentUser, "Software\\Busy", "Count", 1);
        memory.clock.SetFileTime(At(300));
        memory.shell.SetSetup(&memory.clock, [this](std::string_view file, std::string_view arguments) {
            setups.emplace_back(std::string(file) + " | " + std::string(arguments));
            Stamp(200);
            memory.registry.PutDword(kCurrentUser, "Software\\Busy", "Count", 2);
            Stamp(400);
            memory.registry.PutString(kCurrentUser, "Software\\Vendor", "Path", "C:\\App");
            memory.files.AddFile("C:\\App\\new.dll", "new");
            memory.clock.SetFileTime(At(500));
            Stamp(600);
            memory.files.AddFile("C:\\App\\late.log", "late");
            return exitCode;
        });
    }
    void Stamp(std::uint64_t seconds) {
        memory.registry.SetWriteTime(At(seconds));
        memory.files.SetStampTime(At(seconds));
    }

    std::vector<std::string> setups;
    std::uint32_t exitCode = 0;
    std::uint32_t count = 10;
};

TEST_F(CliMonitorTest, MonitorRunsTheSetupAndKeepsWhatItDidNotDoApart) {
    memory.files.AddFile("C:\\Users\\me\\setup.exe", "MZ");
    ASSERT_EQ(Run({"monitor", "App", "--hkcu", "--other", "C:\\App", "--", "setup.exe", "/S", "two words"}), kExitOk)
        << console.errors.at(0);
    EXPECT_EQ(setups, (std::vector<std::string>{"C:\\Users\\me\\setup.exe | /S \"two words\""}));
    EXPECT_TRUE(console.out.starts_with("The setup ended with exit code 0.\nChanges saved as 'App':\n")) << console.out;
    EXPECT_TRUE(console.out.ends_with("3 changes by the setup, 2 activity\n")) << console.out;
    EXPECT_FALSE(Exists("C:\\Kelvora\\Continue.dat"));  // nothing to resume, nothing registered at logon
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    EXPECT_NE(memory.registry.QueryValue(runKey, "Kelvora", type, data), 0);

    ASSERT_EQ(Run({"show", "App"}), kExitOk);
    EXPECT_NE(console.out.find("(*)(REG VAL) Count   [Activity: changed before the setup started or after it ended]"),
              std::string::npos)
        << console.out;
    EXPECT_NE(console.out.find("late.log = "), std::string::npos);
    EXPECT_TRUE(console.out.ends_with("\r\n3 changes by the setup, 2 activity\r\n")) << console.out;

    // The default undo leaves the machine's own writes alone.
    ASSERT_EQ(Run({"uninstall", "App", "--yes"}), kExitOk) << console.out;
    EXPECT_FALSE(memory.registry.KeyExists(kCurrentUser, "Software\\Vendor"));
    EXPECT_FALSE(Exists("C:\\App\\new.dll"));
    EXPECT_TRUE(Exists("C:\\App\\late.log"));
    ASSERT_EQ(memory.registry.OpenKey(kCurrentUser, "Software\\Busy", platform::kKeyRead, runKey), 0);
    ASSERT_EQ(memory.registry.QueryValue(runKey, "Count", type, data), 0);
    EXPECT_EQ(data[0], 2);
}

TEST_F(CliMonitorTest, IncludeActivityUndoesItToo) {
    ASSERT_EQ(Run({"monitor", "App", "--hkcu", "--other", "C:\\App", "--", "C:\\setup.exe"}), kExitOk);
    ASSERT_EQ(Run({"uninstall", "App", "--yes", "--include-activity"}), kExitOk) << console.out;
    EXPECT_FALSE(Exists("C:\\App\\late.log"));
    EXPECT_FALSE(Exists("C:\\App\\new.dll"));
}

TEST_F(CliMonitorTest, ASetupThatFailsOrCannotStartEndsTheCommandWithOne) {
    exitCode = 3;
    EXPECT_EQ(Run({"monitor", "App", "--hkcu", "--", "setup.exe"}), kExitFailed);
    EXPECT_TRUE(console.out.starts_with("The setup ended with exit code 3.\n")) << console.out;
    EXPECT_TRUE(Exists("C:\\Kelvora\\App.qor"));  // what it did is kept all the same

    memory.shell.SetSetup(nullptr, {});
    EXPECT_EQ(Run({"monitor", "Other", "--hkcu", "--", "missing.exe"}), kExitFailed);
    EXPECT_EQ(console.errors, (std::vector<std::string>{"The setup 'missing.exe' could not be started."}));
    EXPECT_FALSE(Exists("C:\\Kelvora\\HKCU.SNS"));
    EXPECT_FALSE(Exists("C:\\Kelvora\\Other.qor"));

    EXPECT_EQ(Run({"monitor", "Other", "--hkcu"}), kExitUsage);  // no setup
    EXPECT_EQ(Run({"monitor", "Other", "--hkcu", "--"}), kExitUsage);
}

// A value changed in place in the monitoring of one application that changes
// again in another's is learned activity there; forgetting ends that. The
// quiet check runs before the setup (what it learns: known_activity_test).
TEST_F(CliMonitorTest, OtherMonitoringsAndTheQuietCheckTeachTheMachinesActivity) {
    env.QuietTime = std::chrono::milliseconds(0);
    memory.shell.SetSetup(&memory.clock, [this](std::string_view, std::string_view) {
        memory.registry.PutDword(kCurrentUser, "Software\\Busy", "Count", ++count);
        memory.registry.PutDword(kCurrentUser, "Software\\Vendor" + std::to_string(count), "v", 1);
        return 0u;
    });
    ASSERT_EQ(Run({"monitor", "A", "--hkcu", "--", "a.exe"}), kExitOk) << console.errors.at(0);
    EXPECT_TRUE(console.out.ends_with("3 changes by the setup, 0 activity\n")) << console.out;
    ASSERT_EQ(Run({"monitor", "B", "--hkcu", "--quiet-check", "--", "b.exe"}), kExitOk);
    EXPECT_TRUE(console.out.starts_with("Quiet check: 0 places changed while nothing was installed.\n"))
        << console.out;
    EXPECT_TRUE(console.out.ends_with("2 changes by the setup, 1 activity\n")) << console.out;
    ASSERT_EQ(Run({"show", "B"}), kExitOk);
    EXPECT_NE(console.out.find("Count   [Activity: changed in monitorings of other applications too]"),
              std::string::npos)
        << console.out;
    // B again: its own earlier monitoring does not count, A's still does.
    ASSERT_EQ(Run({"monitor", "B", "--hkcu", "--", "b.exe"}), kExitUsage);
    EXPECT_NE(console.errors.at(0).find("B.qor"), std::string::npos);
    ASSERT_EQ(Run({"monitor", "B", "--hkcu", "--replace", "--", "b.exe"}), kExitOk);
    EXPECT_TRUE(console.out.ends_with("2 changes by the setup, 1 activity\n")) << console.out;
    ASSERT_EQ(Run({"forget-activity"}), kExitOk);
    EXPECT_EQ(console.out, "The learned activity was forgotten.\n");
    EXPECT_FALSE(Exists("C:\\Kelvora\\Learned.txt"));
    ASSERT_EQ(Run({"monitor", "C", "--hkcu", "--", "c.exe"}), kExitOk);
    EXPECT_TRUE(console.out.ends_with("3 changes by the setup, 0 activity\n")) << console.out;
}

}  // namespace
}  // namespace kelvora
