// The Task Scheduler's logon task: how an elevated program starts at the next
// logon. Windows never starts a program whose manifest asks for elevation from
// the Run key (the start is dropped without a word), but a task with the
// highest run level starts it elevated, without a consent prompt.
#pragma once

#include <string>
#include <string_view>

namespace kelvora::platform::win32 {

// Registers (or replaces) the task name in the root folder: at the logon of
// any member of the Administrators group, program starts with that user's
// full rights, at normal priority, also on batteries, without a time limit.
bool ScheduleLogonTask(std::string_view name, std::string_view program);
// The task as the Task Scheduler's XML. The program starts in its own
// folder (the scheduler's default is the system folder). Its principal is the Administrators
// group, whose members can run an elevated program: the highest run level is
// their full token. A logon trigger without a user fires at every logon. The
// scheduler's defaults would start the program below normal priority, never
// on batteries, and end it after three days.
std::wstring LogonTaskXml(std::string_view program);
// Removes the task; true when it is gone, also when there was none.
bool DeleteLogonTask(std::string_view name);

}  // namespace kelvora::platform::win32
