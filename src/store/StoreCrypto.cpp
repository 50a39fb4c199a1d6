#include "store/StoreCrypto.h"

#include <map>
#include <mutex>

#include <QCryptographicHash>
#include <QStringList>

#include <openssl/evp.h>
#include <openssl/rand.h>

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

namespace {

// Setting up AES for a key costs more than sealing a short value, so each thread
// keeps one prepared context per direction for the key it used last.
struct GcmContext {
    QByteArray key;
    EVP_CIPHER_CTX* ctx = nullptr;
    bool encrypt = false;

    explicit GcmContext(bool enc) : encrypt(enc) {}
    ~GcmContext() { EVP_CIPHER_CTX_free(ctx); }

    // Ready for a new value under key with this nonce.
    bool start(const QByteArray& k, const unsigned char* nonce)
    {
        if (!ctx) {
            ctx = EVP_CIPHER_CTX_new();
            if (!ctx)
                return false;
        }
        const auto* keyBytes = reinterpret_cast<const unsigned char*>(k.constData());
        if (key != k) {
            const bool ok = encrypt ? EVP_EncryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, keyBytes, nonce) == 1
                                    : EVP_DecryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, keyBytes, nonce) == 1;
            key = ok ? k : QByteArray();
            return ok;
        }
        return encrypt ? EVP_EncryptInit_ex(ctx, nullptr, nullptr, nullptr, nonce) == 1
                       : EVP_DecryptInit_ex(ctx, nullptr, nullptr, nullptr, nonce) == 1;
    }
};

thread_local GcmContext t_sealer(true);
thread_local GcmContext t_opener(false);

} // namespace

QByteArray seal(const QByteArray& key, const QByteArray& plain, const QByteArray& associated)
{
    QByteArray out(kNonceSize + plain.size() + kTagSize, Qt::Uninitialized);
    auto* bytes = reinterpret_cast<unsigned char*>(out.data());
    if (RAND_bytes(bytes, kNonceSize) != 1)
        qFatal("no random bytes available");
    EVP_CIPHER_CTX* ctx = t_sealer.ctx;
    int len = 0;
    bool ok = key.size() == kKeySize && t_sealer.start(key, bytes);
    ctx = t_sealer.ctx;
    ok = ok && EVP_EncryptUpdate(ctx, nullptr, &len, reinterpret_cast<const unsigned char*>(associated.constData()),
                                 int(associated.size())) == 1;
    unsigned char* dst = bytes + kNonceSize;
    int produced = 0;
    if (ok && !plain.isEmpty()) {
        ok = EVP_EncryptUpdate(ctx, dst, &len, reinterpret_cast<const unsigned char*>(plain.constData()),
                               int(plain.size())) == 1;
        produced = len;
    }
    ok = ok && EVP_EncryptFinal_ex(ctx, dst + produced, &len) == 1;
    ok = ok && EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, kTagSize, dst + plain.size()) == 1;
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
    unsigned char tag[kTagSize];
    memcpy(tag, src + kNonceSize + plainSize, kTagSize);
    int len = 0;
    bool ok = t_opener.start(key, src);
    EVP_CIPHER_CTX* ctx = t_opener.ctx;
    ok = ok && EVP_DecryptUpdate(ctx, nullptr, &len, reinterpret_cast<const unsigned char*>(associated.constData()),
                                 int(associated.size())) == 1;
    int produced = 0;
    if (ok && plainSize > 0) {
        ok = EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char*>(plain.data()), &len, src + kNonceSize,
                               int(plainSize)) == 1;
        produced = len;
    }
    ok = ok && EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, kTagSize, tag) == 1;
    ok = ok && EVP_DecryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(plain.data()) + produced, &len) == 1;
    if (!ok)
        return std::nullopt;
    return plain;
}

namespace {

// CRC-32C (Castagnoli). Processors with SSE 4.2 compute it eight bytes per
// instruction, which keeps checking every picture on read cheap.
struct Crc32cTable {
    quint32 t[256];
    Crc32cTable()
    {
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0x82F63B78u : c >> 1;
            t[i] = c;
        }
    }
};

quint32 crc32cPortable(quint32 crc, const unsigned char* p, qsizetype n)
{
    static const Crc32cTable table;
    while (n-- > 0)
        crc = table.t[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}

#if defined(__x86_64__)
__attribute__((target("sse4.2"))) quint32 crc32cHardware(quint32 crc, const unsigned char* p, qsizetype n)
{
    quint64 c = crc;
    while (n >= 8) {
        quint64 word;
        memcpy(&word, p, 8);
        c = __builtin_ia32_crc32di(c, word);
        p += 8;
        n -= 8;
    }
    auto c32 = quint32(c);
    while (n-- > 0)
        c32 = __builtin_ia32_crc32qi(c32, *p++);
    return c32;
}

bool hasHardwareCrc()
{
    static const bool has = __builtin_cpu_supports("sse4.2");
    return has;
}
#endif

} // namespace

quint32 crc32(const char* data, qsizetype size, quint32 seed)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    quint32 crc = ~seed;
#if defined(__x86_64__)
    if (hasHardwareCrc())
        return ~crc32cHardware(crc, p, size);
#endif
    return ~crc32cPortable(crc, p, size);
}

quint32 crc32(const QByteArray& data, quint32 seed)
{
    return crc32(data.constData(), data.size(), seed);
}

} // namespace helan::crypto
