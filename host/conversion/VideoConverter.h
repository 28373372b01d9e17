#pragma once

// The host's conversion engine: turns the source of a sharing into the file
// its export preset describes, with ffmpeg, and hands the result back to the
// sharing service that asked for it.

#include "SocialServices.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QTime;

namespace Tavrix::RQ {

class IFileManager;

// One conversion at a time. The output is written beside the wanted path under
// a ".part" name and renamed when complete, so an unfinished file never takes
// the wanted name; a file that already exists there is never overwritten, the
// output goes to "name (2).ext" (and so on) instead and the finished context
// says where.
class VideoConverter : public QObject
{
    Q_OBJECT
public:
    // Tells the user why a conversion failed. The default shows a message box
    // that does not block; tests and hosts with their own notices install one.
    using FailurePresenter = std::function<void(const QString& title, const QString& text)>;

    // The file manager probes sources whose context carries no project.
    explicit VideoConverter(const std::shared_ptr<IFileManager>& fileManager, QObject* parent = nullptr);
    ~VideoConverter() override;

    VideoConverter(const VideoConverter&) = delete;
    VideoConverter& operator=(const VideoConverter&) = delete;

    // "ffmpeg" from PATH unless set.
    void SetProgram(const QString& program);
    void SetFailurePresenter(FailurePresenter presenter);
    // Names a file converted earlier for exactly this request, if any; a
    // served request it names is finished with that file, not converted.
    using EarlierOutput = std::function<std::optional<ioPath>(const ConvertationContext& request)>;
    void SetEarlierOutput(EarlierOutput finder);
    // A source that already fits the preset (its container, H.264 and AAC,
    // the preset's size, within its rate, cut on key frames only) is copied
    // into the output, not encoded again, unless this says otherwise.
    void SetAlwaysReencode(bool always);

    // Converts context.sourcePath into context.outputPath with the preset and
    // cut intervals of context.conversion. False when it cannot start; Failed
    // has then been emitted already.
    bool Start(const ConvertationContext& context);
    // Stops the running conversion and removes what it wrote; Canceled follows
    // before this returns. Harmless when nothing runs.
    void Cancel();
    bool IsRunning() const;
    // The running conversion copies the source's streams as they are.
    bool IsCopying() const;

    // Serves the manager's conversion requests: a finished conversion goes to
    // its Upload, a failed or cancelled one to its Cancel. A progress strategy,
    // when given, shows the conversion and its Cancel stops it.
    void ServeSharing(Service::Sharing::AbstractSharingManager* manager,
                      const std::shared_ptr<IProgressStrategy>& progress = {});

signals:
    void ProgressChanged(float fraction, const QTime& elapsed, const QTime& remaining);
    // The context of the request, its outputPath naming the file written.
    void Finished(const Tavrix::RQ::ConvertationContext& context);
    void Failed(const QString& reason);
    void Canceled();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Tavrix::RQ
