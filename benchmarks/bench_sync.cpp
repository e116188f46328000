// Task sync against a local Radicale: the first sync of 5,000 tasks up from one folder and down
// to another, then one change each way. Prints the time and the number of requests of each;
// one change must cost the same few requests whatever the number of tasks, so the same steps
// run with 500 tasks first for comparison.
#include "radicaleserver.h"

#include "data/db.h"
#include "data/store.h"
#include "data/syncstate.h"
#include "data/tasks.h"
#include "views/sync/caldavclient.h"
#include "views/sync/syncengine.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

bool waitUntil(const std::function<bool()>& done, int ms)
{
    // Sleeps in the event loop between checks: a busy loop would take the CPU from the server.
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QEventLoop wait;
        QTimer::singleShot(20, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return done();
}

struct Step
{
    double ms = 0;
    int requests = 0;
    bool ok = false;
};

class Bench
{
public:
    explicit Bench(RadicaleServer& server) : server_(server) {}

    void use(const QTemporaryDir& dir)
    {
        Db::closeAll();
        Db::path() = dir.filePath(QStringLiteral("mylive.dc"));
    }

    void prepare(const QTemporaryDir& dir, const QUrl& list)
    {
        use(dir);
        Store::ensureMainDatabase(Db::path());
        Db::execute(QStringLiteral("DELETE FROM renwu"));
        Db::execute(QStringLiteral("DELETE FROM sync_change"));
        SyncState::Account a;
        a.server = server_.url().toString();
        a.user = server_.user();
        a.calendar = list.toString();
        SyncState::saveAccount(a);
    }

    Step sync(const QTemporaryDir& dir, const QUrl& list)
    {
        use(dir);
        SyncEngine engine;
        engine.setCredentials(server_.user(), server_.password());
        Step step;
        bool done = false;
        QObject::connect(&engine, &SyncEngine::finished, [&](const SyncEngine::Result& r) {
            step.ok = r.ok;
            if (!r.ok)
                std::fprintf(stderr, "sync failed: %s\n", qPrintable(r.error));
            done = true;
        });
        QElapsedTimer t;
        t.start();
        engine.start(list);
        waitUntil([&] { return done; }, 1800000);
        step.ms = double(t.nsecsElapsed()) / 1e6;
        step.requests = engine.client()->requestCount();
        return step;
    }

    QUrl newList(const QString& name)
    {
        CalDavClient c;
        c.setCredentials(server_.user(), server_.password());
        CalDavClient::Discovery d;
        bool done = false;
        c.discover(server_.url(), [&](const CalDavClient::Discovery& r) {
            d = r;
            done = true;
        });
        waitUntil([&] { return done; }, 30000);
        QUrl url;
        done = false;
        c.makeCalendar(d.home, name, [&](const CalDavClient::Reply&, const QUrl& u) {
            url = u;
            done = true;
        });
        waitUntil([&] { return done; }, 30000);
        return url;
    }

    // First sync up and down, then one change each way; prints a line per step.
    QList<Step> run(int tasks)
    {
        QTemporaryDir a, b;
        const QUrl list = newList(QStringLiteral("bench-%1").arg(tasks));
        prepare(a, list);
        prepare(b, list);
        use(a);
        Db::transaction([&] {
            for (int i = 0; i < tasks; ++i) {
                Tasks::Task t;
                t.title = QStringLiteral("任务 %1").arg(i);
                t.content = QStringLiteral("第 %1 个任务的说明").arg(i);
                t.day = QDate(2009, 1, 1).addDays(i % 365);
                if (i % 3 == 0)
                    t.time = QTime(8 + i % 12, 30);
                Tasks::insert(t);
            }
        });
        QList<Step> steps;
        steps << sync(a, list) << sync(b, list);
        use(a);
        Tasks::setTitleAndContent(Db::count(QStringLiteral("SELECT max(id) FROM renwu")), QStringLiteral("改过的任务"),
                                  QStringLiteral("只改了这一个"));
        steps << sync(a, list) << sync(b, list);
        use(b);
        Tasks::setState(Db::count(QStringLiteral("SELECT min(id) FROM renwu")), Tasks::Done);
        steps << sync(b, list) << sync(a, list);
        const char* names[] = {"first sync, upload",   "first sync, download",    "one change, upload",
                               "one change, download", "one change back, upload", "one change back, download"};
        for (int i = 0; i < steps.size(); ++i)
            std::printf("%6d tasks  %-28s %10.1f ms  %6d requests%s\n", tasks, names[i], steps[i].ms, steps[i].requests,
                        steps[i].ok ? "" : "  FAILED");
        Db::closeAll();
        return steps;
    }

private:
    RadicaleServer& server_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line as it is measured
    RadicaleServer server;
    if (!server.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.error()));
        return 1;
    }
    Bench bench(server);
    const QList<Step> small = bench.run(500);
    const QList<Step> large = bench.run(5000);
    bool constant = true;
    for (int i = 2; i < 6; ++i)
        constant = constant && small[i].requests == large[i].requests && small[i].ok && large[i].ok;
    std::printf("first sync of 5000 vs 500 tasks: %.1fx the time\n", large[0].ms / small[0].ms);
    std::printf("one change costs %d requests up and %d down with 500 tasks, %d and %d with 5000: %s\n",
                small[2].requests, small[3].requests, large[2].requests, large[3].requests,
                constant ? "constant" : "NOT CONSTANT");
    return constant ? 0 : 1;
}
