#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

namespace helan::crypto {

// How a table's key is derived from its password; kept in the table header so the
// cost can be raised later without breaking older files.
struct KdfParams {
    QString algorithm = QStringLiteral("scrypt");
    int logN = 16; // N = 2^logN
    int r = 8;
    int p = 1;

    QString encode() const;
    static std::optional<KdfParams> decode(const QString& text);
};

constexpr int kKeySize = 32;
constexpr int kSaltSize = 16;
constexpr int kNonceSize = 12;
constexpr int kTagSize = 16;

QByteArray randomBytes(int count);

// Derives the 256-bit key; an empty result when the parameters are unusable.
// Keys once derived are remembered for the rest of the run (keyed by salt,
// parameters and password), because a derivation is made to be slow.
QByteArray deriveKey(const QString& password, const QByteArray& salt, const KdfParams& params);

// AES-256-GCM: nonce || ciphertext || tag. The associated data is bound to the value.
QByteArray seal(const QByteArray& key, const QByteArray& plain, const QByteArray& associated);
// The plaintext, or no value when the key is wrong or a byte was changed.
std::optional<QByteArray> unseal(const QByteArray& key, const QByteArray& sealed, const QByteArray& associated);

// CRC-32C of data, continuing from seed (the checksum of what came before).
quint32 crc32(const QByteArray& data, quint32 seed = 0);
quint32 crc32(const char* data, qsizetype size, quint32 seed);

} // namespace helan::crypto
