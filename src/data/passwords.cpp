#include "data/passwords.h"

#include "data/db.h"

#include <atomic>
#include <sodium.h>

namespace {

std::atomic<bool> lowCost{false};

void ensureSodium()
{
    // sodium_init is safe to call from several threads and more than once.
    if (sodium_init() < 0)
        throw Db::Error(QStringLiteral("无法初始化密码库"));
}

unsigned long long opsLimit()
{
    return lowCost ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
}

size_t memLimit()
{
    return lowCost ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
}

} // namespace

bool Passwords::isHash(const QString& stored)
{
    return stored.startsWith(QLatin1String("$argon2id$"));
}

QString Passwords::hash(const QString& password)
{
    ensureSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), quint64(utf8.size()), opsLimit(), memLimit()) != 0)
        throw Db::Error(QStringLiteral("内存不足，无法保存密码"));
    return QString::fromLatin1(out);
}

bool Passwords::matches(const QString& stored, const QString& password)
{
    if (!isHash(stored))
        return stored == password;
    ensureSodium();
    const QByteArray hashed = stored.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(hashed.constData(), utf8.constData(), quint64(utf8.size())) == 0;
}

bool Passwords::needsReplacing(const QString& stored)
{
    if (!isHash(stored))
        return true;
    ensureSodium();
    const QByteArray hashed = stored.toLatin1();
    return crypto_pwhash_str_needs_rehash(hashed.constData(), opsLimit(), memLimit()) != 0;
}

void Passwords::useLowCostForTests(bool low)
{
    lowCost = low;
}
