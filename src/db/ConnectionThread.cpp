#include "db/ConnectionThread.h"

namespace marlix {

ConnectionThread::ConnectionThread() {
    std::promise<std::thread::id> started;
    std::future<std::thread::id> id = started.get_future();
    thread_ = std::thread([this, &started] {
        started.set_value(std::this_thread::get_id());
        Loop();
    });
    id_ = id.get();
}

ConnectionThread::~ConnectionThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ConnectionThread::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push(std::move(task));
    }
    wake_.notify_one();
}

void ConnectionThread::Loop() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) return; // stopping, nothing left
            task = std::move(tasks_.front());
            tasks_.pop();
        }
        try {
            task(); // a Call() carries its exception back to the caller itself
        } catch (...) {
            // A posted task reports its own failures (the batch runner catches everything); one
            // that did not must not end the thread every later connection call depends on.
        }
    }
}

} // namespace marlix
