#include "storage/PasswordHasher.h"

#include <cstdio>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <stdexcept>
#include <vector>

namespace localservice {

namespace {

constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;

std::string toHex(const unsigned char* bytes, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return hex;
}

bool fromHex(const std::string& hex, std::vector<unsigned char>& bytes)
{
    if (hex.size() % 2 != 0)
        return false;
    const auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    bytes.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = nibble(hex[i]);
        const int low = nibble(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<unsigned char>(high * 16 + low));
    }
    return true;
}

std::vector<unsigned char> randomBytes(int count)
{
    std::vector<unsigned char> bytes(static_cast<size_t>(count));
    if (RAND_bytes(bytes.data(), count) != 1)
        throw std::runtime_error("the system's random generator failed");
    return bytes;
}

std::vector<unsigned char> derive(const std::string& password, const std::vector<unsigned char>& salt, int iterations)
{
    std::vector<unsigned char> key(HashBytes);
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), HashBytes, key.data()) != 1)
        throw std::runtime_error("PBKDF2 failed");
    return key;
}

} // namespace

std::string PasswordHasher::hash(const std::string& password, int iterations)
{
    const std::vector<unsigned char> salt = randomBytes(SaltBytes);
    const std::vector<unsigned char> key = derive(password, salt, iterations);
    return "pbkdf2-sha256$" + std::to_string(iterations) + "$" + toHex(salt.data(), salt.size()) + "$" +
           toHex(key.data(), key.size());
}

bool PasswordHasher::verify(const std::string& password, const std::string& stored)
{
    const std::string prefix = "pbkdf2-sha256$";
    if (stored.compare(0, prefix.size(), prefix) != 0)
        return false;
    const size_t iterationsEnd = stored.find('$', prefix.size());
    const size_t saltEnd = iterationsEnd == std::string::npos ? std::string::npos : stored.find('$', iterationsEnd + 1);
    if (saltEnd == std::string::npos)
        return false;
    const std::string iterationsText = stored.substr(prefix.size(), iterationsEnd - prefix.size());
    if (iterationsText.empty() || iterationsText.size() > 8 ||
        iterationsText.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int iterations = std::stoi(iterationsText);
    std::vector<unsigned char> salt;
    std::vector<unsigned char> expected;
    if (iterations < 1 || !fromHex(stored.substr(iterationsEnd + 1, saltEnd - iterationsEnd - 1), salt) ||
        !fromHex(stored.substr(saltEnd + 1), expected) || expected.size() != HashBytes)
        return false;
    const std::vector<unsigned char> actual = derive(password, salt, iterations);
    return CRYPTO_memcmp(actual.data(), expected.data(), HashBytes) == 0;
}

std::string newAccessToken()
{
    const std::vector<unsigned char> bytes = randomBytes(32);
    return toHex(bytes.data(), bytes.size());
}

std::string tokenDigest(const std::string& token)
{
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(token.data()), token.size(), digest);
    return toHex(digest, sizeof digest);
}

std::string newUuid()
{
    std::vector<unsigned char> bytes = randomBytes(16);
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    const std::string hex = toHex(bytes.data(), bytes.size());
    return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" + hex.substr(16, 4) + "-" +
           hex.substr(20);
}

} // namespace localservice
