#pragma once

#include <QTime>
#include <QtGlobal>

namespace Tavrix::RQ::Service::Sharing::YouTube {

struct UploadTimes
{
    QTime elapsed;
    QTime remained;
};

// Elapsed and remaining time of an upload as times of day from midnight. The
// remaining time extrapolates the time spent per percent so far; it is worked
// out in 64 bits, so a slow upload at 1 % after many hours does not overflow.
// Both times wrap at 24 hours, like any QTime.
inline UploadTimes ComputeUploadTimes(int progress, qint64 elapsedMs)
{
    constexpr qint64 day = 24LL * 60 * 60 * 1000;
    const qint64 remainingMs = progress == 0 ? 0 : (100 - progress) * elapsedMs / progress;
    const QTime midnight(0, 0, 0, 0);
    return {midnight.addMSecs(static_cast<int>(elapsedMs % day)),
            midnight.addMSecs(static_cast<int>(remainingMs % day))};
}

} // namespace Tavrix::RQ::Service::Sharing::YouTube
