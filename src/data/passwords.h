#pragma once

#include <QString>

// Login passwords are kept as Argon2id hashes (libsodium's crypto_pwhash_str, interactive limits).
// A stored value that is not such a hash is a plain password from an older file or another tool.
// Hashing and checking take a deliberate tenth of a second and much memory: callers on the
// window's thread run them off it. Every function here is safe on any thread.
namespace Passwords {

// Whether a stored value is a hash of ours (as opposed to a plain password).
bool isHash(const QString& stored);

// The hash of a password, with a fresh random salt. Throws Db::Error when the hash cannot be
// made (out of memory).
QString hash(const QString& password);

// Whether the password is the one a stored value stands for: a hash is checked by libsodium, a
// plain value is compared as it is.
bool matches(const QString& stored, const QString& password);

// Whether a stored value should be replaced after a successful login: a plain password, or a
// hash made with weaker limits than the current ones.
bool needsReplacing(const QString& stored);

// Test seam: lower limits, so that test programs that log in hundreds of times stay fast.
// Hashes made this way still check everywhere; the program itself never calls this.
void useLowCostForTests(bool low);

} // namespace Passwords
