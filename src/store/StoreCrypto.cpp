#include "store/StoreCrypto.h"

#include <map>
#include <mutex>

#include <QCryptographicHash>
#include <QStringList>

#include <openssl/evp.h>
#include <openssl/rand.h>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace helan::crypto {

QString KdfParams::encode() const
{
    return u"%1:%2:%3:%4"_s.arg(algorithm).arg(logN).arg(r).arg(p);
}

std::optional<KdfParams> KdfParams::decode(const QString& text)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != 4 || parts[0] != u"scrypt"_s)
        return std::nullopt;
    KdfParams k;
    bool ok1 = false, ok2 = false, ok3 = false;
    k.logN = parts[1].toInt(&ok1);
    k.r = parts[2].toInt(&ok2);
    k.p = parts[3].toInt(&ok3);
    // Bounds keep a damaged or hostile header from asking for absurd memory or time.
    if (!ok1 || !ok2 || !ok3 || k.logN < 10 || k.logN > 22 || k.r < 1 || k.r > 32 || k.p < 1 || k.p > 16)
        return std::nullopt;
    return k;
}

QByteArray randomBytes(int count)
{
    QByteArray out(count, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char*>(out.data()), count) != 1)
        qFatal("no random bytes available");
    return out;
}

namespace {
std::mutex g_keyMutex;
std::map<QByteArray, QByteArray> g_keys;
} // namespace

QByteArray deriveKey(const QString& password, const QByteArray& salt, const KdfParams& params)
{
    const QByteArray pw = password.toUtf8();
    QCryptographicHash id(QCryptographicHash::Sha256);
    id.addData(params.encode().toUtf8());
    id.addData(QByteArrayView("\0", 1));
    id.addData(salt);
    id.addData(QByteArrayView("\0", 1));
    id.addData(pw);
    const QByteArray cacheKey = id.result();
    {
        std::lock_guard lock(g_keyMutex);
        const auto it = g_keys.find(cacheKey);
        if (it != g_keys.end())
            return it->second;
    }
    QByteArray key(kKeySize, Qt::Uninitialized);
    const quint64 n = quint64(1) << params.logN;
    const quint64 maxMem = quint64(256) * 1024 * 1024;
    if (EVP_PBE_scrypt(pw.constData(), size_t(pw.size()), reinterpret_cast<const unsigned char*>(salt.constData()),
                       size_t(salt.size()), n, quint64(params.r), quint64(params.p), maxMem,
                       reinterpret_cast<unsigned char*>(key.data()), size_t(key.size())) != 1)
        return QByteArray();
    std::lock_guard lock(g_keyMutex);
    g_keys.emplace(cacheKey, key);
    return key;
}

QByteArray seal(const QByteArray& key, const QByteArray& plain, const QByteArray& associated)
{
    const QByteArray nonce = randomBytes(kNonceSize);
    QByteArray out(kNonceSize + plain.size() + kTagSize, Qt::Uninitialized);
    memcpy(out.data(), nonce.constData(), kNonceSize);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int len = 0;
    bool ok = ctx && EVP_EncryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr,
                                        reinterpret_cast<const unsigned char*>(key.constData()),
                                        reinterpret_cast<const unsigned char*>(nonce.constData())) == 1;
    ok = ok && EVP_EncryptUpdate(ctx, nullptr, &len, reinterpret_cast<const unsigned char*>(associated.constData()),
                                 int(associated.size())) == 1;
    auto* dst = reinterpret_cast<unsigned char*>(out.data()) + kNonceSize;
    int produced = 0;
    if (ok && !plain.isEmpty()) {
        ok = EVP_EncryptUpdate(ctx, dst, &len, reinterpret_cast<const unsigned char*>(plain.constData()),
                               int(plain.size())) == 1;
        produced = len;
    }
    ok = ok && EVP_EncryptFinal_ex(ctx, dst + produced, &len) == 1;
    ok = ok && EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, kTagSize, dst + plain.size()) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok)
        qFatal("AES-GCM encryption failed");
    return out;
}

std::optional<QByteArray> unseal(const QByteArray& key, const QByteArray& sealed, const QByteArray& associated)
{
    if (sealed.size() < kNonceSize + kTagSize || key.size() != kKeySize)
        return std::nullopt;
    const qsizetype plainSize = sealed.size() - kNonceSize - kTagSize;
    QByteArray plain(plainSize, Qt::Uninitialized);
    const auto* src = reinterpret_cast<const unsigned char*>(sealed.constData());
    QByteArray tag = sealed.right(kTagSize);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int len = 0;
    bool ok = ctx && EVP_DecryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr,
                                        reinterpret_cast<const unsigned char*>(key.constData()), src) == 1;
    ok = ok && EVP_DecryptUpdate(ctx, nullptr, &len, reinterpret_cast<const unsigned char*>(associated.constData()),
                                 int(associated.size())) == 1;
    int produced = 0;
    if (ok && plainSize > 0) {
        ok = EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char*>(plain.data()), &len, src + kNonceSize,
                               int(plainSize)) == 1;
        produced = len;
    }
    ok = ok && EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, kTagSize, tag.data()) == 1;
    ok = ok && EVP_DecryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(plain.data()) + produced, &len) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok)
        return std::nullopt;
    return plain;
}

quint32 crc32(const char* data, qsizetype size, quint32 seed)
{
    uLong crc = seed;
    while (size > 0) {
        const uInt chunk = size > 0x40000000 ? 0x40000000u : uInt(size);
        crc = ::crc32(crc, reinterpret_cast<const Bytef*>(data), chunk);
        data += chunk;
        size -= chunk;
    }
    return quint32(crc);
}

quint32 crc32(const QByteArray& data, quint32 seed)
{
    return crc32(data.constData(), data.size(), seed);
}

} // namespace helan::crypto
