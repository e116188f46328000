#include "radicaleserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

RadicaleServer::RadicaleServer(const QString& user, const QString& password) : user_(user), password_(password)
{}

RadicaleServer::~RadicaleServer()
{
    stop();
}

QString RadicaleServer::storage() const
{
    return dir_.filePath(QStringLiteral("collections"));
}

QUrl RadicaleServer::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port_));
}

bool RadicaleServer::running() const
{
    return process_.state() == QProcess::Running;
}

bool RadicaleServer::start()
{
    if (running())
        return true;
    if (port_ == 0) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            error_ = QStringLiteral("no free port");
            return false;
        }
        port_ = probe.serverPort();
    }
    // Plain passwords: the Debian package checks them without extra modules, and these are
    // throw-away test users.
    QFile users(dir_.filePath(QStringLiteral("users")));
    if (!users.open(QIODevice::WriteOnly)
        || users.write((user_ + QLatin1Char(':') + password_ + QLatin1Char('\n')).toUtf8()) < 0) {
        error_ = QStringLiteral("cannot write the user file");
        return false;
    }
    users.close();
    QFile config(dir_.filePath(QStringLiteral("config")));
    const QString text = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n"
                                        "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\nhtpasswd_encryption = plain\n"
                                        "delay = 0\n"
                                        "[rights]\ntype = owner_only\n"
                                        "[storage]\nfilesystem_folder = %3\n"
                                        "[logging]\nlevel = error\nmask_passwords = True\n")
                             .arg(port_)
                             .arg(users.fileName(), storage());
    if (!config.open(QIODevice::WriteOnly) || config.write(text.toUtf8()) < 0) {
        error_ = QStringLiteral("cannot write the configuration");
        return false;
    }
    config.close();

    QString program = QStringLiteral("/usr/bin/radicale");
    if (!QFile::exists(program))
        program = QStandardPaths::findExecutable(QStringLiteral("radicale"));
    if (program.isEmpty()) {
        error_ = QStringLiteral("radicale is not installed (scripts/setup.sh installs it)");
        return false;
    }
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start(program, {QStringLiteral("--config"), config.fileName()});
    if (!process_.waitForStarted(10000)) {
        error_ = QStringLiteral("radicale did not start: %1").arg(process_.errorString());
        return false;
    }
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (process_.state() != QProcess::Running) {
            error_ = QStringLiteral("radicale stopped at once (exit code %1)").arg(process_.exitCode());
            return false;
        }
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        if (socket.waitForConnected(200))
            return true;
        QThread::msleep(100);
    }
    error_ = QStringLiteral("radicale does not answer on port %1").arg(port_);
    stop();
    return false;
}

void RadicaleServer::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}
