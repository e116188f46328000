#pragma once

#include <QString>
#include <optional>

// The login passwords (table "user"). Row 2 is the first-run marker, never a password.
namespace Users {
constexpr int kMarkerId = 2;

// Whether the password (already trimmed) is one of the stored passwords.
bool passwordMatches(const QString& password);

// Gives every password row the new password; the marker row is left alone.
void changePassword(const QString& password);
} // namespace Users
