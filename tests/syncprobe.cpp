// One task sync of a program folder's database, as a process of its own, so that a test can
// kill it (SIGKILL) at any moment. Arguments: database, calendar URL, user, password.
// Exit code 0 when the sync succeeded.
#include "data/db.h"
#include "views/sync/syncengine.h"

#include <QCoreApplication>
#include <QUrl>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: syncprobe DATABASE CALENDAR USER PASSWORD\n");
        return 2;
    }
    Db::path() = args.at(1);
    SyncEngine engine;
    engine.setCredentials(args.at(3), args.at(4));
    QObject::connect(&engine, &SyncEngine::finished, &app, [&](const SyncEngine::Result& r) {
        if (!r.ok)
            std::fprintf(stderr, "sync failed: %s\n", qPrintable(r.error));
        app.exit(r.ok ? 0 : 1);
    });
    engine.start(QUrl(args.at(2)));
    return app.exec();
}
