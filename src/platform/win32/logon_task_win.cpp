#include "platform/win32/logon_task_win.h"

#include "platform/win32/wide_path_win.h"

#include <windows.h>
#include <oleauto.h>
#include <taskschd.h>

namespace kelvora::platform::win32 {

namespace {

// The Task Scheduler's priorities run from 0 (highest) to 10; 4 to 6 are the
// normal priority class.
constexpr int kNormalPriority = 4;

// A COM interface pointer released once.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_ != nullptr) p_->Release();
    }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    T** Put() { return &p_; }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(std::wstring_view text) : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(s_); }
    operator BSTR() const { return s_; }

private:
    BSTR s_;
};

// COM on this thread for the length of one call: a thread that has it
// already (in either model) keeps it as it is.
class ComScope {
public:
    ComScope() : ours_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (ours_) CoUninitialize();
    }

private:
    bool ours_;
};

// The root folder of the local Task Scheduler.
bool RootFolder(ComRef<ITaskService>& service, ComRef<ITaskFolder>& root) {
    if (FAILED(CoCreateInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskService),
                                reinterpret_cast<void**>(service.Put())))) {
        return false;
    }
    VARIANT none{};
    VariantInit(&none);
    if (FAILED(service->Connect(none, none, none, none))) return false;
    const Bstr path(L"\\");
    return SUCCEEDED(service->GetFolder(path, root.Put()));
}

// Text as XML character data.
std::wstring Escaped(std::wstring_view text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'&') out += L"&amp;";
        else if (c == L'<') out += L"&lt;";
        else if (c == L'>') out += L"&gt;";
        else out += c;
    }
    return out;
}

}  // namespace

std::wstring LogonTaskXml(std::string_view program) {
    return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
           L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
           L"<Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>"
           L"<Principals><Principal id=\"Author\"><GroupId>S-1-5-32-544</GroupId>"
           L"<RunLevel>HighestAvailable</RunLevel></Principal></Principals>"
           L"<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
           L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Priority>" +
           std::to_wstring(kNormalPriority) +
           L"</Priority></Settings>"
           L"<Actions Context=\"Author\"><Exec><Command>" +
           Escaped(Widen(program)) + L"</Command><WorkingDirectory>" +
           Escaped(Widen(program.substr(0, program.find_last_of('\\') + 1))) +
           L"</WorkingDirectory></Exec></Actions></Task>";
}

bool ScheduleLogonTask(std::string_view name, std::string_view program) {
    ComScope com;
    ComRef<ITaskService> service;
    ComRef<ITaskFolder> root;
    if (!RootFolder(service, root)) return false;
    const Bstr taskName(Widen(name));
    const Bstr xml(LogonTaskXml(program));
    VARIANT none;
    VariantInit(&none);
    ComRef<IRegisteredTask> registered;
    return SUCCEEDED(root->RegisterTask(taskName, xml, TASK_CREATE_OR_UPDATE, none, none, TASK_LOGON_GROUP, none,
                                        registered.Put()));
}

bool DeleteLogonTask(std::string_view name) {
    ComScope com;
    ComRef<ITaskService> service;
    ComRef<ITaskFolder> root;
    if (!RootFolder(service, root)) return false;
    const Bstr taskName(Widen(name));
    const HRESULT result = root->DeleteTask(taskName, 0);
    return SUCCEEDED(result) || result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

}  // namespace kelvora::platform::win32
