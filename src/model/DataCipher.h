#pragma once

#include <QByteArray>
#include <QString>

namespace helan {

// The encryption every password of the catalogue is kept under: DES in ECB mode
// over a frame of a 4-byte little-endian length, the password's GBK bytes and zero
// padding to a whole block, with a key folded from a fixed key text.
//
// The stored form is the encrypted bytes written as upper-case hexadecimal text.
// Raw ciphertext may contain zero bytes and would be cut there by a text field;
// hex text never is, so every stored password decrypts back whole.
class DataCipher {
public:
    // Longest password, in GBK bytes, that the program accepts where one is typed.
    static constexpr qsizetype kMaxPasswordBytes = 64;
    // Width, in bytes, of the text field that holds a stored form. A password at
    // the limit makes a 68-byte frame, 72 encrypted bytes, 144 hex characters.
    static constexpr int kStoredFormWidth = 160;

    // Whether a typed password is within kMaxPasswordBytes.
    static bool passwordFits(const QString& password);

    // Password text → stored form (never empty: even "" has an encrypted frame).
    static QString encryptPassword(const QString& password);
    // Stored form → password text; a malformed stored form gives an empty text.
    static QString decryptPassword(const QString& storedForm);

    // ---- The layer under the stored form
    // The DES key folded from the key text: 8 zero bytes with the text's bytes
    // XORed into them cyclically.
    static QByteArray foldKey(const QByteArray& keyText);
    // The program's key, foldKey("KVZ").
    static QByteArray key();
    // Frame and encrypt password bytes under key(): the encrypted bytes.
    static QByteArray encryptBytes(const QByteArray& plain);
    // The password bytes of encrypted bytes; empty when they do not hold a frame.
    static QByteArray decryptBytes(const QByteArray& encrypted);
    // Single DES, ECB, no padding. The data must be a whole number of blocks and
    // the key 8 bytes (parity bits ignored); otherwise the result is empty.
    static QByteArray desEcbEncrypt(const QByteArray& key8, const QByteArray& data);
    static QByteArray desEcbDecrypt(const QByteArray& key8, const QByteArray& data);
};

} // namespace helan
