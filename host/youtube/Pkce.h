#pragma once

// Proof Key for Code Exchange (S256) and the random values of a sign-in.

#include <QByteArray>

namespace Tavrix::Social::YouTube {

// 64 characters of [A-Za-z0-9-._~] from the system's cryptographic source.
QByteArray MakeCodeVerifier();
// base64url(SHA-256(verifier)) without padding.
QByteArray CodeChallenge(const QByteArray& verifier);
// An unguessable value that ties the browser's callback to this sign-in.
QByteArray MakeState();

} // namespace Tavrix::Social::YouTube
