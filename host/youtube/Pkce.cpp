#include "Pkce.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace Tavrix::Social::YouTube {

namespace {
QByteArray RandomText(int length)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
    constexpr quint32 alphabetSize = sizeof(alphabet) - 1;
    QByteArray text(length, Qt::Uninitialized);
    for (char& c : text)
        c = alphabet[QRandomGenerator::system()->bounded(alphabetSize)];
    return text;
}
} // namespace

QByteArray MakeCodeVerifier()
{
    return RandomText(64);
}

QByteArray CodeChallenge(const QByteArray& verifier)
{
    return QCryptographicHash::hash(verifier, QCryptographicHash::Sha256)
        .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QByteArray MakeState()
{
    return RandomText(32);
}

} // namespace Tavrix::Social::YouTube
