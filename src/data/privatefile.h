#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Files the program writes for the user to take elsewhere (exports): readable and writable by
// the owner only, written beside the target under a temporary name and moved over it only when
// complete, so a failure leaves no partial file and keeps an existing one intact.
namespace PrivateFile {

constexpr QFileDevice::Permissions kMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// A file being made for `target`: `path()` is where to write; commit() moves it into place.
// A staged file never committed is removed. Failures throw Db::Error with the message for the
// user.
class Staged
{
public:
    // Throws when no file can be made beside the target.
    explicit Staged(const QString& target);
    ~Staged();
    Staged(const Staged&) = delete;
    Staged& operator=(const Staged&) = delete;

    const QString& path() const { return path_; }
    // Moves the written file over the target, after checking it holds `expectedSize` bytes
    // (-1: any size above zero).
    void commit(qint64 expectedSize = -1);

private:
    QString target_;
    QString path_;
};

// Writes the bytes as the target; throws Db::Error when it cannot.
void write(const QString& target, const QByteArray& data);

} // namespace PrivateFile
