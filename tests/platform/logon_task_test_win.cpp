// The logon task: what it starts, when and with which rights, and its
// registration read back through the Task Scheduler itself.
#include "platform/win32/logon_task_win.h"
#include "platform/win32/shell_win.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scheduled_task_win.h"

namespace kelvora::platform::win32 {
namespace {

constexpr const char* kTask = "KelvoraLogonTaskTest";

std::wstring TaskXml() { return test::RegisteredTaskXml(L"KelvoraLogonTaskTest"); }

bool Holds(const std::wstring& xml, const wchar_t* part) { return xml.find(part) != std::wstring::npos; }

TEST(LogonTask, DefinitionStartsTheProgramElevatedAtEveryAdministratorsLogon) {
    const std::wstring xml = LogonTaskXml("C:\\A&B <x>\\K\xc3\xa9lvora.exe");
    EXPECT_TRUE(Holds(xml, L"<LogonTrigger><Enabled>true</Enabled></LogonTrigger>"));
    EXPECT_FALSE(Holds(xml, L"<UserId>"));
    EXPECT_TRUE(Holds(xml, L"<GroupId>S-1-5-32-544</GroupId><RunLevel>HighestAvailable</RunLevel>"));
    EXPECT_TRUE(Holds(xml, L"<Command>C:\\A&amp;B &lt;x&gt;\\K\u00e9lvora.exe</Command>"
                           L"<WorkingDirectory>C:\\A&amp;B &lt;x&gt;\\</WorkingDirectory>"));
}

// Wine's scheduler keeps a task's settings but drops its trigger, principal
// and command when it stores the task, so only those are read back here.
TEST(LogonTask, IsRegisteredReplacedAndRemovedThroughTheScheduler) {
    Win32Shell shell;
    ASSERT_TRUE(shell.UnscheduleAtLogon(kTask)) << "no task yet is no failure";
    EXPECT_EQ(TaskXml(), L"");
    ASSERT_TRUE(shell.ScheduleAtLogon(kTask, "C:\\Old\\Kelvora.exe"));
    ASSERT_TRUE(shell.ScheduleAtLogon(kTask, "C:\\New\\Kelvora.exe")) << "a second registration replaces the first";
    const std::wstring xml = TaskXml();
    EXPECT_TRUE(Holds(xml, L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>")) << xml.size();
    EXPECT_TRUE(Holds(xml, L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"));
    EXPECT_TRUE(Holds(xml, L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"));
    EXPECT_TRUE(Holds(xml, L"<Priority>4</Priority>"));
    EXPECT_FALSE(Holds(xml, L"Old"));
    EXPECT_TRUE(shell.UnscheduleAtLogon(kTask));
    EXPECT_EQ(TaskXml(), L"");
}

}  // namespace
}  // namespace kelvora::platform::win32
