#pragma once

// The converted files of sharings that did not end (the program was killed,
// the power went): kept, and listed in the application's data folder, so that
// sharing the same source again with the same preset and cuts uploads the
// kept file instead of converting again, and its upload resumes. A file goes
// from the list when its sharing ends, when it is older than the lifetime, or
// when the kept files together pass the size limit (oldest first).

#include "CoreUtils.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace Tavrix::RQ {
struct ConvertationContext;
class VideoConverter;
namespace Service::Sharing {
class AbstractSharingManager;
}
} // namespace Tavrix::RQ

namespace Tavrix::RQ::Host {

class KeptConversions : public QObject
{
    Q_OBJECT
public:
    // The list lives in `listFile`; lifetime in seconds, limit in bytes.
    KeptConversions(const QString& listFile, qint64 lifetimeSeconds, qint64 sizeLimit, QObject* parent = nullptr);
    ~KeptConversions() override;

    KeptConversions(const KeptConversions&) = delete;
    KeptConversions& operator=(const KeptConversions&) = delete;

    // The kept file for this conversion request: same source, unchanged (size
    // and modification time), same preset and cuts, in the folder it asks
    // for, and the file itself untouched since. Drops what can never match.
    std::optional<ioPath> Find(const ConvertationContext& request);
    // Lists the converted file of a sharing under way.
    void Keep(const ConvertationContext& converted);
    // Whether the user asked for the file as a copy of their own: such a file
    // is only ever forgotten, never removed.
    void SetUserCopy(const ioPath& output, bool userCopy);
    // The sharing of this file ended: it is no more listed (the sharing removed it or the user keeps it).
    void Forget(const ioPath& output);
    // Removes what is too old or beyond the size limit.
    void Prune();

    // Serves the converter's requests from the list, and follows the
    // manager's sharings: listed on conversion, forgotten when they end.
    void Serve(Service::Sharing::AbstractSharingManager* manager, VideoConverter* converter);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ::Host
