#include "views/knowledge/indexbuilder.h"

#include "data/db.h"
#include "data/knowledge.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/views.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>
#include <QUuid>

namespace {
int batch = 50;
std::atomic<bool> held{false};
} // namespace

IndexBuilder& IndexBuilder::instance()
{
    static IndexBuilder* builder = [] {
        auto* b = new IndexBuilder;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, b, &IndexBuilder::stop);
        // Saved articles wait for the index; they are added right after.
        QObject::connect(&Changes::instance(), &Changes::knowledgeChanged, b, [b] { b->start(); });
        QObject::connect(&Changes::instance(), &Changes::diaryChanged, b, [b] { b->start(); });
        return b;
    }();
    return *builder;
}

IndexBuilder::~IndexBuilder()
{
    stop();
}

void IndexBuilder::setBatchForTests(int articles)
{
    batch = articles > 0 ? articles : 50;
}

void IndexBuilder::holdForTests(bool hold)
{
    held = hold;
}

void IndexBuilder::start(bool shown)
{
    if (thread_) {
        again_ = true;
        return;
    }
    if (!Forms::find(Views::kFrame))
        return; // the program's windows are gone (or not there yet)
    const std::optional<qint64> waiting = Db::get([] { return Knowledge::searchIndexBacklog(Db::main()); });
    if (!waiting || *waiting == 0)
        return; // nothing to add (or the database error has been shown)
    done_ = 0;
    total_ = shown ? *waiting : 0;
    again_ = false;

    stopping_ = false;
    const QString path = Db::path();
    const int articles = batch;
    thread_ = QThread::create([this, path, articles] {
        const QString name = QStringLiteral("vantorel-index-") + QUuid::createUuid().toString(QUuid::Id128);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            // The window's writes go first; this waits for them rather than failing.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
            try {
                if (!db.open())
                    throw Db::Error(db.lastError().text());
                Db::exec(db, QStringLiteral("PRAGMA synchronous = EXTRA"));
                qint64 left = 1;
                while (left > 0 && !stopping_) {
                    while (held && !stopping_)
                        QThread::msleep(5);
                    if (stopping_)
                        break;
                    left = Knowledge::buildSearchIndexStep(db, articles);
                    QMetaObject::invokeMethod(
                        this, [this, left] { report(left, left == 0); }, Qt::QueuedConnection);
                }
            } catch (const Db::Error&) {
                // Tried again at the next start; searches scan the waiting articles meanwhile.
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
    QThread* thread = thread_;
    connect(thread, &QThread::finished, this, [this, thread] {
        const bool mine = thread_ == thread;
        if (mine)
            thread_ = nullptr;
        thread->deleteLater();
        if (mine && again_)
            start(); // articles saved during the run
    });
    // The windows going (the frame closed, a test's folder going) stop the work first.
    connect(Forms::find(Views::kFrame), &QObject::destroyed, this, &IndexBuilder::stop, Qt::UniqueConnection);
    thread->start(QThread::LowPriority);
    if (total_ > 0)
        emit progress(done_, total_);
}

void IndexBuilder::stop()
{
    if (!thread_)
        return;
    stopping_ = true;
    QThread* thread = thread_;
    thread_ = nullptr;
    thread->wait(); // its finished handler deletes it
    again_ = false;
    if (total_ > 0) {
        done_ = total_ = 0;
        emit finished();
    }
}

void IndexBuilder::report(qint64 left, bool over)
{
    if (!thread_)
        return; // a report from work that was stopped
    if (over) {
        const bool wasShown = total_ > 0;
        done_ = total_ = 0;
        if (wasShown)
            emit finished();
        return;
    }
    if (total_ > 0) {
        done_ = std::max<qint64>(0, total_ - left);
        emit progress(done_, total_);
    }
}
