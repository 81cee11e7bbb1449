#include "platform/dispatcher.h"

#include <exception>
#include <future>
#include <memory>
#include <utility>

namespace kelvora::platform {

Dispatcher::Dispatcher() : mainThread_(std::this_thread::get_id()) {}

void Dispatcher::Synchronize(const std::function<void()>& fn) {
    if (IsMainThread()) {
        fn();
        return;
    }
    // The queued call owns the promise: a call dropped unrun (the dispatcher
    // destroyed) ends the wait with a broken promise instead of never.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> result = done->get_future();
    Post([&fn, done] {
        try {
            fn();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    });
    result.get();  // rethrows fn's exception
}

void Dispatcher::Post(std::function<void()> fn) {
    std::function<void()> hook;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(fn));
        hook = wakeUpHook_;
    }
    changed_.notify_all();
    if (hook) hook();
}

std::function<void()> Dispatcher::PopLocked() {
    std::function<void()> fn = std::move(queue_.front());
    queue_.pop_front();
    return fn;
}

std::size_t Dispatcher::ProcessPending() {
    std::size_t ran = 0;
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) return ran;
            fn = PopLocked();
        }
        fn();
        ++ran;
    }
}

bool Dispatcher::WaitForWork(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return !queue_.empty(); });
}

void Dispatcher::ServeUntil(const std::function<bool()>& done) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!queue_.empty()) {
            std::function<void()> fn = PopLocked();
            lock.unlock();
            fn();
            lock.lock();
            continue;
        }
        if (done()) return;
        const std::uint64_t seen = wakes_;
        changed_.wait(lock, [&] { return !queue_.empty() || wakes_ != seen; });
    }
}

void Dispatcher::Wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakes_;
    }
    changed_.notify_all();
}

void Dispatcher::SetWakeUpHook(std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    wakeUpHook_ = std::move(hook);
}

}  // namespace kelvora::platform
