#pragma once

// Lets a loop that blocks elsewhere (SDL's wait for input) serve GLib's default main context: a
// helper thread polls the context's descriptors while the loop waits, and calls `wake` when one
// is ready. The context itself is only ever run on the loop's thread.

#include <glib.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace sorrel::backend {

class GlibWaker {
public:
    explicit GlibWaker(std::function<void()> wake);
    ~GlibWaker();
    GlibWaker(const GlibWaker&) = delete;
    GlibWaker& operator=(const GlibWaker&) = delete;

    // Prepares the context and starts watching; gives the longest the wait may last (ms;
    // negative: no limit).
    int begin();
    // Stops watching and dispatches what is ready.
    void end();
    // Dispatches what is ready without waiting.
    static void iterate();

private:
    void watch();

    std::function<void()> m_wake;
    GMainContext* m_context {nullptr};
    int m_cancel {-1}; // an eventfd that ends the helper's poll
    std::vector<GPollFD> m_fds;
    int m_priority {0};
    bool m_waiting {false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_polling {false}; // the helper owns m_fds
    bool m_quit {false};
    std::thread m_thread;
};

} // namespace sorrel::backend
