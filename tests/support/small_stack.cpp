#include "support/small_stack.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace kelvora::test {

namespace {

#ifdef _WIN32
DWORD WINAPI Run(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}
#else
void* Run(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return nullptr;
}
#endif

}  // namespace

bool RunOnStack(std::size_t bytes, const std::function<void()>& work) {
    void* argument = const_cast<std::function<void()>*>(&work);
#ifdef _WIN32
    // Without STACK_SIZE_PARAM_IS_A_RESERVATION the size would only be what
    // is committed at first, and the stack could still grow to the size the
    // executable's header reserves (2 MB with mingw-w64).
    HANDLE thread = CreateThread(nullptr, bytes, Run, argument, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return false;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return true;
#else
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, bytes);
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, Run, argument) == 0;
    pthread_attr_destroy(&attributes);
    if (started) pthread_join(thread, nullptr);
    return started;
#endif
}

}  // namespace kelvora::test
