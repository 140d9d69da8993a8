// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Md5Digest.h"

#include <QTest>
#include <openssl/evp.h>

#include <string>

namespace {

std::string opensslMd5Hex(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 0xf];
    }
    return out;
}

std::string patterned(std::size_t length, unsigned seed)
{
    std::string s(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        s[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 3)) & 0xff);
    return s;
}

} // namespace

class TestMd5 : public QObject
{
    Q_OBJECT

private slots:
    void rfc1321Suite_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("a") << QByteArray("a") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
        QTest::newRow("message digest")
            << QByteArray("message digest") << QByteArray("f96b697d7cb7938d525a2f31aaf161d0");
        QTest::newRow("alphabet") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                                  << QByteArray("c3fcd3d76192e4007dfb496cca67e13b");
        QTest::newRow("alphanumeric")
            << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
            << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
        QTest::newRow("digits") << QByteArray("1234567890123456789012345678901234567890"
                                              "1234567890123456789012345678901234567890")
                                << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
    }

    void rfc1321Suite()
    {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, digest);
        const std::string hex = Md5Hex(reinterpret_cast<const unsigned char*>(message.constData()),
                                       static_cast<std::size_t>(message.size()));
        QCOMPARE(QByteArray::fromStdString(hex), digest);
    }

    // Lengths around the padding boundaries and high bytes, against OpenSSL.
    void agreesWithOpenssl_data()
    {
        QTest::addColumn<int>("length");
        for (int length : {0, 1, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 1000, 100000})
            QTest::addRow("%d bytes", length) << length;
    }

    void agreesWithOpenssl()
    {
        QFETCH(int, length);
        const std::string message = patterned(std::size_t(length), unsigned(length));
        QCOMPARE(Md5Hex(message), opensslMd5Hex(message));
    }

    void highBytesAreUnsigned()
    {
        std::string message;
        for (int b = 0x80; b <= 0xff; ++b)
            message += static_cast<char>(b);
        QCOMPARE(Md5Hex(message), opensslMd5Hex(message));
        QCOMPARE(Md5Hex(std::string(1, '\xff')), opensslMd5Hex(std::string(1, '\xff')));
    }

    // Feeding the same bytes in uneven pieces gives the one-shot digest.
    void chunkedUpdatesMatchOneShot()
    {
        const std::string message = patterned(1000, 3);
        for (std::size_t chunk : {1u, 3u, 63u, 64u, 65u, 200u}) {
            Md5Digest digest;
            for (std::size_t at = 0; at < message.size(); at += chunk)
                digest.Update(std::string_view(message).substr(at, chunk));
            QCOMPARE(digest.FinalHex(), opensslMd5Hex(message));
        }
    }

    void renderingIsLowercaseAndPadded()
    {
        // The digest of "abc" starts with byte 0x90 and holds a 0x00 byte: "...00..." stays.
        const std::string hex = Md5Hex(std::string_view("abc"));
        QCOMPARE(hex.size(), std::size_t(32));
        for (char c : hex)
            QVERIFY((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
        // d41d8cd98f00b204...: a zero byte renders as "00".
        QCOMPARE(Md5Hex(std::string_view()).substr(8, 4), std::string("8f00"));
    }
};

QTEST_APPLESS_MAIN(TestMd5)
#include "TestMd5.moc"
