#include "model/DataCipher.h"

#include <cstring>

#include <QtEndian>

// Only the classic block functions are needed; OpenSSL 3 marks them deprecated
// but still ships them in libcrypto without the legacy provider.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include "base/Gbk.h"

namespace helan {

namespace {

constexpr qsizetype kBlock = 8;
constexpr qsizetype kLengthPrefix = 4;

QByteArray desEcb(const QByteArray& key8, const QByteArray& data, int direction)
{
    if (key8.size() != kBlock || data.size() % kBlock != 0)
        return {};
    DES_cblock keyBlock;
    std::memcpy(keyBlock, key8.constData(), kBlock);
    DES_key_schedule schedule;
    DES_set_key_unchecked(&keyBlock, &schedule);

    QByteArray out(data.size(), '\0');
    for (qsizetype offset = 0; offset < data.size(); offset += kBlock) {
        DES_cblock in;
        DES_cblock result;
        std::memcpy(in, data.constData() + offset, kBlock);
        DES_ecb_encrypt(&in, &result, &schedule, direction);
        std::memcpy(out.data() + offset, result, kBlock);
    }
    return out;
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

} // namespace

bool DataCipher::passwordFits(const QString& password)
{
    return gbkLength(password) <= kMaxPasswordBytes;
}

QString DataCipher::encryptPassword(const QString& password)
{
    return QString::fromLatin1(encryptBytes(toGbk(password)).toHex().toUpper());
}

QString DataCipher::decryptPassword(const QString& storedForm)
{
    if (storedForm.size() % 2 != 0)
        return {};
    for (const QChar c : storedForm)
        if (!isHexDigit(c))
            return {};
    return fromGbk(decryptBytes(QByteArray::fromHex(storedForm.toLatin1())));
}

QByteArray DataCipher::foldKey(const QByteArray& keyText)
{
    QByteArray folded(kBlock, '\0');
    for (qsizetype i = 0; i < keyText.size(); ++i)
        folded[i % kBlock] = char(folded.at(i % kBlock) ^ keyText.at(i));
    return folded;
}

QByteArray DataCipher::key()
{
    static const QByteArray folded = foldKey(QByteArrayLiteral("KVZ"));
    return folded;
}

QByteArray DataCipher::encryptBytes(const QByteArray& plain)
{
    const qsizetype framed = kLengthPrefix + plain.size();
    const qsizetype total = (framed + kBlock - 1) / kBlock * kBlock;
    QByteArray frame(total, '\0');
    qToLittleEndian<quint32>(quint32(plain.size()), frame.data());
    std::memcpy(frame.data() + kLengthPrefix, plain.constData(), size_t(plain.size()));
    return desEcbEncrypt(key(), frame);
}

QByteArray DataCipher::decryptBytes(const QByteArray& encrypted)
{
    if (encrypted.isEmpty() || encrypted.size() % kBlock != 0)
        return {};
    const QByteArray frame = desEcbDecrypt(key(), encrypted);
    const qint64 length = qFromLittleEndian<quint32>(frame.constData());
    // The length must fit the frame and leave less than a whole block of padding.
    if (length <= 0 || length + kLengthPrefix > frame.size() || frame.size() >= length + kLengthPrefix + kBlock)
        return {};
    return frame.mid(kLengthPrefix, qsizetype(length));
}

QByteArray DataCipher::desEcbEncrypt(const QByteArray& key8, const QByteArray& data)
{
    return desEcb(key8, data, DES_ENCRYPT);
}

QByteArray DataCipher::desEcbDecrypt(const QByteArray& key8, const QByteArray& data)
{
    return desEcb(key8, data, DES_DECRYPT);
}

} // namespace helan
