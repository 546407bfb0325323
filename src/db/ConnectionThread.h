#pragma once
// The one thread that makes every call on the session's connection. Some drivers tie their
// connection lock to the thread that last used it (MariaDB Connector/ODBC leaves it owned by
// the thread that ran a multi-statement text), so a connection used by a worker and then by the
// window thread can hang the window. Connect, disconnect, transactions, catalog reads and
// batches therefore all run here; only SQLCancel comes from another thread, as it must.
#include <condition_variable>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <queue>
#include <thread>
#include <type_traits>

namespace marlix {

class ConnectionThread {
public:
    ConnectionThread();
    ~ConnectionThread(); // runs what is queued, then ends the thread
    ConnectionThread(const ConnectionThread&) = delete;
    ConnectionThread& operator=(const ConnectionThread&) = delete;

    // Queues a task and returns at once.
    void Post(std::function<void()> task);

    // Runs `f` on the connection thread and waits for it; its result or exception comes back
    // to the caller. Called on the connection thread itself, it runs `f` at once.
    template <typename F> auto Call(F&& f) -> std::invoke_result_t<F&> {
        using R = std::invoke_result_t<F&>;
        if (OnThread()) return f();
        std::packaged_task<R()> task(std::ref(f));
        std::future<R> done = task.get_future();
        Post([&task] { task(); });
        return done.get();
    }

    bool OnThread() const noexcept { return std::this_thread::get_id() == id_; }

private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::queue<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::thread thread_;
    std::thread::id id_;
};

} // namespace marlix
