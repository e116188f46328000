#pragma once

#include <QObject>
#include <atomic>

class QThread;

// Adds the articles waiting for the knowledge search index (new and changed ones, all of an older
// file) to it, on a thread and a connection of its own, one batch per transaction: start-up and
// saving never wait for it, the window stays usable, and a program ended meanwhile goes on where
// it was at the next start. Searches scan the waiting articles meanwhile.
class IndexBuilder : public QObject
{
    Q_OBJECT

public:
    static IndexBuilder& instance();

    // Starts the work when articles are waiting (no-op otherwise, or when it is running). At
    // login the view says so while it lasts; later runs, for the few articles just saved, do not.
    void start(bool shown = false);
    bool running() const { return thread_ != nullptr; }
    // Articles added and to add in the run the view shows; total 0 when there is none.
    qint64 done() const { return done_; }
    qint64 total() const { return total_; }
    // Stops after the batch in hand and waits for it (the program's windows are going).
    void stop();

    // Test seams: articles per batch (the program uses 50), and holding the work before its next
    // batch, so that a test sees the state while the build is under way.
    static void setBatchForTests(int articles);
    static void holdForTests(bool hold);

signals:
    void progress(qint64 done, qint64 total);
    void finished();

private:
    IndexBuilder() = default;
    ~IndexBuilder() override;
    void report(qint64 left, bool over);

    QThread* thread_ = nullptr;
    std::atomic<bool> stopping_{false};
    bool again_ = false; // articles were saved while the work ran
    qint64 done_ = 0;
    qint64 total_ = 0;
};
