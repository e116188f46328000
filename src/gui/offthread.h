#pragma once

#include <QEventLoop>
#include <QThread>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

// Runs slow work that touches no window and no database connection (a password hash) on a
// thread of its own, while the window's thread goes on painting and running its timers. User
// input waits meanwhile, so the same action cannot start twice. Returns the work's result; an
// exception the work throws is thrown on here.
namespace OffThread {
template <class F>
auto wait(F&& work) -> std::invoke_result_t<F>
{
    using R = std::invoke_result_t<F>;
    std::optional<R> result;
    std::exception_ptr error;
    QEventLoop loop;
    QThread* thread = QThread::create([&] {
        try {
            result.emplace(work());
        } catch (...) {
            error = std::current_exception();
        }
    });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    if (error)
        std::rethrow_exception(error);
    return std::move(*result);
}
} // namespace OffThread
