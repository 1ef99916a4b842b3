#pragma once

#include <QByteArray>
#include <QString>

#include <openssl/evp.h>

#include <memory>

// A publisher's Ed25519 key pair, made afresh by libcrypto, that signs
// releases as the update feed carries them (base64).
class TestSigningKey {
 public:
  TestSigningKey() : key_(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"), &EVP_PKEY_free) {}

  QString publicKey() const {
    unsigned char raw[32];
    size_t size = sizeof raw;
    EVP_PKEY_get_raw_public_key(key_.get(), raw, &size);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(raw), int(size)).toBase64());
  }

  QByteArray sign(const QByteArray& data) const {
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    unsigned char signature[64];
    size_t size = sizeof signature;
    EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key_.get());
    EVP_DigestSign(context.get(), signature, &size, reinterpret_cast<const unsigned char*>(data.constData()),
                   size_t(data.size()));
    return QByteArray(reinterpret_cast<const char*>(signature), int(size)).toBase64();
  }

 private:
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key_;
};
