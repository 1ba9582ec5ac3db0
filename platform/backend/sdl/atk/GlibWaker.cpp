#include "platform/backend/sdl/atk/GlibWaker.h"

#include "platform/backend/sdl/atk/AtkLibrary.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace sorrel::backend {

GlibWaker::GlibWaker(std::function<void()> wake)
    : m_wake(std::move(wake))
    , m_context(atk().g_main_context_default())
    , m_cancel(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    m_thread = std::thread([this] { watch(); });
}

GlibWaker::~GlibWaker()
{
    if (m_waiting)
        end();
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
    if (m_cancel >= 0)
        ::close(m_cancel);
}

void GlibWaker::iterate()
{
    // A bounded number of rounds: a peer that floods the bus must not keep the form from its input.
    GMainContext* context = atk().g_main_context_default();
    for (int round = 0; round < 32 && atk().g_main_context_iteration(context, FALSE); ++round) { }
}

int GlibWaker::begin()
{
    if (m_waiting || m_cancel < 0)
        return 0;
    if (!atk().g_main_context_acquire(m_context))
        return 0;
    gint timeout = -1;
    // Something is ready already: dispatch it and wait for nothing.
    if (atk().g_main_context_prepare(m_context, &m_priority)) {
        atk().g_main_context_release(m_context);
        iterate();
        return 0;
    }
    m_fds.resize(std::max<size_t>(m_fds.size(), 8));
    gint count;
    while ((count = atk().g_main_context_query(
                m_context, m_priority, &timeout, m_fds.data(), gint(m_fds.size())))
        > gint(m_fds.size()))
        m_fds.resize(size_t(count));
    m_fds.resize(size_t(count));
    m_waiting = true;
    {
        std::lock_guard lock(m_mutex);
        m_polling = true;
    }
    m_changed.notify_all();
    return timeout;
}

void GlibWaker::end()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    uint64_t one = 1;
    ssize_t written = ::write(m_cancel, &one, sizeof one);
    (void)written;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_polling; });
    }
    uint64_t drained;
    ssize_t read = ::read(m_cancel, &drained, sizeof drained);
    (void)read;
    if (atk().g_main_context_check(m_context, m_priority, m_fds.data(), gint(m_fds.size())))
        atk().g_main_context_dispatch(m_context);
    atk().g_main_context_release(m_context);
}

void GlibWaker::watch()
{
    std::vector<pollfd> fds;
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_polling || m_quit; });
            if (m_quit)
                return;
        }
        // GPollFD and pollfd differ in their types; the descriptors are copied across.
        fds.clear();
        for (const GPollFD& fd : m_fds)
            fds.push_back(pollfd {fd.fd, short(fd.events), 0});
        fds.push_back(pollfd {m_cancel, POLLIN, 0});
        int ready;
        do
            ready = ::poll(fds.data(), fds.size(), -1);
        while (ready < 0 && errno == EINTR);
        bool for_glib = false;
        for (size_t i = 0; i < m_fds.size(); ++i) {
            m_fds[i].revents = gushort(fds[i].revents);
            for_glib = for_glib || fds[i].revents != 0;
        }
        if (for_glib && !(fds.back().revents & POLLIN))
            m_wake();
        {
            std::lock_guard lock(m_mutex);
            m_polling = false;
        }
        m_changed.notify_all();
    }
}

} // namespace sorrel::backend
