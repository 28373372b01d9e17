#pragma once

// A loopback stand-in for Google sign-in and the YouTube Data API v3: serves
// on 127.0.0.1 only, keeps its state in a data folder, and lets a test arm
// faults and read back what was uploaded.

#include <QString>

#include <memory>

namespace Tavrix::YouTubeEmulator {

struct Options
{
    int port = 0; // 0: any free port
    QString dataDir;
    bool autoConsent = false;
    qint64 accessTokenLifetime = 3600;
    QString clientId = QStringLiteral("emulator-client-id");
    QString clientSecret = QStringLiteral("emulator-client-secret");
};

class Emulator
{
public:
    explicit Emulator(const Options& options);
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // Opens the data folder and binds the port; false with `error` otherwise.
    bool Start(QString& error);
    int Port() const;
    // Serves until Stop() is called from another thread.
    void Run();
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace Tavrix::YouTubeEmulator
