#include "app/updatesignature.h"

#include <QCoroFuture>
#include <QFile>
#include <QPromise>
#include <QThreadPool>

#include <openssl/evp.h>

#include <memory>
#include <optional>

namespace UpdateSignature {
namespace {

constexpr qsizetype kPublicKeyBytes = 32;
constexpr qsizetype kSignatureBytes = 64;

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

// Strict: a text with anything but base64 in it is no key and no signature.
std::optional<QByteArray> fromBase64(const QString& text, qsizetype expectedSize) {
  auto decoded = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
  if (!decoded || decoded.decoded.size() != expectedSize) return std::nullopt;
  return decoded.decoded;
}

}  // namespace

QString verify(const QString& path, const QString& signature, const QString& publicKey) {
  if (signature.trimmed().isEmpty()) return QStringLiteral("the update carries no signature");
  const std::optional<QByteArray> rawSignature = fromBase64(signature, kSignatureBytes);
  if (!rawSignature) return QStringLiteral("the update's signature is not a base64 Ed25519 signature");
  const std::optional<QByteArray> rawKey = fromBase64(publicKey, kPublicKeyBytes);
  if (!rawKey) return QStringLiteral("the update public key is not a base64 Ed25519 key");

  QFile file(path);
  const QString unreadable = QStringLiteral("the downloaded file cannot be read: ");
  if (!file.open(QIODevice::ReadOnly)) return unreadable + file.errorString();
  // Ed25519 hashes the message twice, so the whole file must be at hand:
  // mapped, a large release costs no memory of its own.
  const qint64 size = file.size();
  const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
  if (size > 0 && !mapped) return unreadable + file.errorString();
  static const uchar kNothing = 0;

  const std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_PKEY_new_raw_public_key(
      EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(rawKey->constData()), rawKey->size()));
  const std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  if (!key || !context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1) {
    return QStringLiteral("the update public key is not a valid Ed25519 key");
  }
  const int verified =
      EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(rawSignature->constData()),
                       rawSignature->size(), mapped ? mapped : &kNothing, static_cast<size_t>(size));
  if (verified != 1) return QStringLiteral("the update's signature does not match the downloaded file");
  return {};
}

QCoro::Task<QString> verifyAside(QString path, QString signature, QString publicKey) {
  // A future, not a thread's finished signal: a thread that ends before the
  // await starts listening would leave the await waiting forever.
  auto promise = std::make_shared<QPromise<QString>>();
  QFuture<QString> outcome = promise->future();
  promise->start();
  QThreadPool::globalInstance()->start([promise, path, signature, publicKey] {
    promise->addResult(verify(path, signature, publicKey));
    promise->finish();
  });
  co_return co_await qCoro(outcome).waitForFinished();
}

}  // namespace UpdateSignature
