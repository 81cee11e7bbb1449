// Tasks of the Task Scheduler read back, for the tests of the logon task.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <taskschd.h>

#include <string>

namespace kelvora::test {

// The XML of the task taskName in the Task Scheduler's root folder, read
// back through the scheduler; "" when there is no such task.
inline std::wstring RegisteredTaskXml(const wchar_t* taskName) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring xml;
    ITaskService* service = nullptr;
    ITaskFolder* root = nullptr;
    IRegisteredTask* task = nullptr;
    VARIANT none;
    VariantInit(&none);
    BSTR rootPath = SysAllocString(L"\\");
    BSTR name = SysAllocString(taskName);
    if (SUCCEEDED(CoCreateInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskService),
                                   reinterpret_cast<void**>(&service))) &&
        SUCCEEDED(service->Connect(none, none, none, none)) && SUCCEEDED(service->GetFolder(rootPath, &root)) &&
        SUCCEEDED(root->GetTask(name, &task))) {
        BSTR text = nullptr;
        if (SUCCEEDED(task->get_Xml(&text)) && text != nullptr) xml = text;
        SysFreeString(text);
    }
    if (task != nullptr) task->Release();
    if (root != nullptr) root->Release();
    if (service != nullptr) service->Release();
    SysFreeString(name);
    SysFreeString(rootPath);
    CoUninitialize();
    return xml;
}

}  // namespace kelvora::test
