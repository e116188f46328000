#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// A Radicale CalDAV server for tests: its own storage and user file in a temporary folder, on a
// free port of 127.0.0.1, stopped when the object goes.
class RadicaleServer
{
public:
    RadicaleServer(const QString& user = QStringLiteral("alice"), const QString& password = QStringLiteral("secret"));
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    // Starts the server (on the same port and storage as before after a stop) and waits until
    // it accepts connections. False, with the reason in error(), when it does not come up.
    bool start();
    void stop();
    bool running() const;

    QUrl url() const; // http://127.0.0.1:port/
    QString user() const { return user_; }
    QString password() const { return password_; }
    QString storage() const;
    QString error() const { return error_; }

private:
    QTemporaryDir dir_;
    QString user_;
    QString password_;
    quint16 port_ = 0;
    QProcess process_;
    QString error_;
};
