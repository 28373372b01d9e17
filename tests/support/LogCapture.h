#pragma once

// Captures glog lines while it lives, so a test can assert exact log lines.

#include <QStringList>

#include <glog/logging.h>

#include <mutex>
#include <string>
#include <vector>

namespace TestSupport {

class LogCapture : public google::LogSink
{
public:
    struct Line
    {
        google::LogSeverity severity;
        std::string file;
        int line;
        std::string text;
    };

    // verbosity: glog's -v while the capture lives (restored afterwards).
    explicit LogCapture(int verbosity = 0);
    ~LogCapture() override;

    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void send(google::LogSeverity severity, const char* full_filename, const char* base_filename, int line,
              const google::LogMessageTime& time, const char* message, size_t message_len) override;

    std::vector<Line> Lines() const;
    // Texts of the lines of one severity (or all with -1), in order.
    QStringList Texts(int severity = -1) const;
    // "I: text", "E: text" ... for whole-sequence comparisons.
    QStringList Tagged() const;

private:
    mutable std::mutex m_mutex;
    std::vector<Line> m_lines;
    int m_previousVerbosity;
};

} // namespace TestSupport
