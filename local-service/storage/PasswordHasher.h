#pragma once

#include <string>

namespace localservice {

// Salted PBKDF2-HMAC-SHA256 password hashes in the self-describing form
// "pbkdf2-sha256$ITERATIONS$SALT$HASH" (salt and hash in hexadecimal), so
// the iteration count can grow without breaking stored accounts.
class PasswordHasher
{
public:
    static constexpr int DefaultIterations = 120000;

    static std::string hash(const std::string& password, int iterations = DefaultIterations);
    // Constant-time comparison; a malformed stored hash never verifies.
    static bool verify(const std::string& password, const std::string& stored);
};

// Bearer tokens: 32 random bytes in hexadecimal. The service stores only the
// SHA-256 of a token, so a copy of the database grants no access.
std::string newAccessToken();
std::string tokenDigest(const std::string& token);
// A random version 4 UUID in its 36-character text form.
std::string newUuid();

} // namespace localservice
