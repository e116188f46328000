#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace {
QHash<QString, QLocalServer*>& held()
{
    static QHash<QString, QLocalServer*> servers;
    return servers;
}

QString serverName(const QString& folder)
{
    const QByteArray hash =
        QCryptographicHash::hash(QDir(folder).canonicalPath().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("vantorel-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool someoneListens(const QString& name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool connected = probe.waitForConnected(500);
    probe.abort();
    return connected;
}
} // namespace

bool SingleInstance::acquire(const QString& folder)
{
    const QString name = serverName(folder);
    if (held().contains(name) || someoneListens(name))
        return false;
    // Nobody answers: a socket left by a program that ended without cleaning up is stale.
    QLocalServer::removeServer(name);
    auto* server = new QLocalServer();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        delete server;
        return false;
    }
    // Connections only probe for a running program; close them as they come.
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* s = server->nextPendingConnection()) {
            s->disconnectFromServer();
            s->deleteLater();
        }
    });
    held().insert(name, server);
    return true;
}

void SingleInstance::releaseAll()
{
    for (QLocalServer* server : std::as_const(held())) {
        server->close();
        delete server;
    }
    held().clear();
}
