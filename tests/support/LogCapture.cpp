#include "LogCapture.h"

namespace TestSupport {

LogCapture::LogCapture(int verbosity)
    : m_previousVerbosity(FLAGS_v)
{
    FLAGS_v = verbosity;
    google::AddLogSink(this);
}

LogCapture::~LogCapture()
{
    google::RemoveLogSink(this);
    FLAGS_v = m_previousVerbosity;
}

void LogCapture::send(google::LogSeverity severity, const char*, const char* base_filename, int line,
                      const google::LogMessageTime&, const char* message, size_t message_len)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.push_back({severity, base_filename ? base_filename : "", line, std::string(message, message_len)});
}

std::vector<LogCapture::Line> LogCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

QStringList LogCapture::Texts(int severity) const
{
    QStringList texts;
    for (const Line& line : Lines())
        if (severity < 0 || line.severity == severity)
            texts << QString::fromStdString(line.text);
    return texts;
}

QStringList LogCapture::Tagged() const
{
    static const char tags[] = {'I', 'W', 'E', 'F'};
    QStringList texts;
    for (const Line& line : Lines())
        texts << QStringLiteral("%1: %2").arg(QLatin1Char(tags[line.severity])).arg(QString::fromStdString(line.text));
    return texts;
}

} // namespace TestSupport
