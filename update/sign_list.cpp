// sign-list: signs an update list for updaters that have UpdatePublicKey set.
//   sign-list keygen SECRET
//       writes a new secret key (base64 of a 32-byte Ed25519 seed, readable by its owner
//       only) and prints the public key for deploy.ini's UpdatePublicKey
//   sign-list sign SECRET LIST OUT --serial N [--expires "YYYY-MM-DD HH:MM:SS"]
//       writes OUT, the list with its release element, and OUT.sig, the signature (base64)
//       the update service sends with OUT in the reply header "X-Update-Signature"
#include "common/code_page.h"
#include "update/list_signature.h"
#include "update/update_list.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <sodium.h>

#include <cstdio>

namespace {

int fail(const QString& why) {
    std::fprintf(stderr, "sign-list: %s\n", why.toUtf8().constData());
    return 2;
}

bool save(const QString& path, const QByteArray& bytes, bool ownerOnly = false) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (ownerOnly) f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return f.write(bytes) == bytes.size() && f.commit();
}

QByteArray publicKeyOf(const QByteArray& seed, QByteArray* secret = nullptr) {
    QByteArray pk(crypto_sign_PUBLICKEYBYTES, '\0');
    QByteArray sk(crypto_sign_SECRETKEYBYTES, '\0');
    crypto_sign_seed_keypair(reinterpret_cast<unsigned char*>(pk.data()),
                             reinterpret_cast<unsigned char*>(sk.data()),
                             reinterpret_cast<const unsigned char*>(seed.constData()));
    if (secret) *secret = sk;
    return pk;
}

int keygen(const QString& secretPath) {
    if (QFile::exists(secretPath)) return fail(secretPath + QStringLiteral(" exists already"));
    QByteArray seed(crypto_sign_SEEDBYTES, '\0');
    randombytes_buf(seed.data(), size_t(seed.size()));
    if (!save(secretPath, seed.toBase64() + '\n', true))
        return fail(QStringLiteral("cannot write ") + secretPath);
    std::printf("UpdatePublicKey=%s\n", publicKeyOf(seed).toBase64().constData());
    return 0;
}

int sign(const QString& secretPath, const QString& listPath, const QString& outPath,
         const QString& serialText, const QString& expiresText) {
    QFile secretFile(secretPath), listFile(listPath);
    if (!secretFile.open(QIODevice::ReadOnly) || !listFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read ") + secretPath + QStringLiteral(" or ") +
                    listPath);
    const QByteArray seed = QByteArray::fromBase64(secretFile.readAll().trimmed());
    if (seed.size() != crypto_sign_SEEDBYTES) return fail(QStringLiteral("not a secret key"));
    bool ok = false;
    const qint64 serial = serialText.toLongLong(&ok);
    if (!ok || serial < 0) return fail(QStringLiteral("--serial needs a whole number"));
    const QDateTime expires =
        QDateTime::fromString(expiresText, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!expiresText.isEmpty() && !expires.isValid())
        return fail(QStringLiteral("--expires needs a time such as 2026-12-31 23:59:59"));

    const QByteArray list = listFile.readAll();
    const QByteArray body = upd::WithReleaseElement(list, serial, expires);
    if (body.isEmpty()) return fail(listPath + QStringLiteral(" has a release element already"));
    QByteArray secret;
    const QByteArray pk = publicKeyOf(seed, &secret);
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(body.constData()),
                         static_cast<unsigned long long>(body.size()),
                         reinterpret_cast<const unsigned char*>(secret.constData()));
    sodium_memzero(secret.data(), size_t(secret.size()));
    // What the updater will check, checked here first.
    if (!upd::VerifyListSignature(body, signature.toBase64(), pk.toBase64()) ||
        !upd::ReadReleaseElement(common::FromGbk(body)))
        return fail(QStringLiteral("the signed list does not check out"));
    if (!save(outPath, body) || !save(outPath + QStringLiteral(".sig"), signature.toBase64()))
        return fail(QStringLiteral("cannot write ") + outPath);
    std::printf("signed %s (serial %lld) for UpdatePublicKey=%s\n", outPath.toUtf8().constData(),
                serial, pk.toBase64().constData());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(
        QStringLiteral("Signs update lists.\n"
                       "  sign-list keygen SECRET\n"
                       "  sign-list sign SECRET LIST OUT --serial N [--expires TIME]"));
    cli.addHelpOption();
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("Release serial, higher than the last one."),
                                    QStringLiteral("N"));
    const QCommandLineOption expires(QStringLiteral("expires"),
                                     QStringLiteral("Refused after this local time."),
                                     QStringLiteral("YYYY-MM-DD HH:MM:SS"));
    cli.addOptions({serial, expires});
    cli.addPositionalArgument(QStringLiteral("command"), QStringLiteral("keygen or sign"));
    cli.process(app);
    if (sodium_init() < 0) return fail(QStringLiteral("libsodium did not start"));
    const QStringList a = cli.positionalArguments();
    if (a.size() == 2 && a[0] == QStringLiteral("keygen")) return keygen(a[1]);
    if (a.size() == 4 && a[0] == QStringLiteral("sign") && cli.isSet(serial))
        return sign(a[1], a[2], a[3], cli.value(serial), cli.value(expires));
    return fail(QStringLiteral("see sign-list --help"));
}
