#include "KeptConversions.h"

#include "SocialServices.h"
#include "VideoConverter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <glog/logging.h>

#include <algorithm>
#include <vector>

namespace Tavrix::RQ::Host {

namespace {
constexpr char kFind[] = "Tavrix::RQ::Host::KeptConversions::Find";
constexpr char kPrune[] = "Tavrix::RQ::Host::KeptConversions::Prune";
constexpr char kSave[] = "Tavrix::RQ::Host::KeptConversions::Save";

QString Local(const ioPath& path)
{
    return QFileInfo(QString::fromStdString(path.utf8string())).absoluteFilePath();
}

// Size and modification time (ms) of a file; size -1 when it is not there.
std::pair<qint64, qint64> Stat(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {-1, 0};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

QJsonArray CutsJson(const ConvertationContext& context)
{
    QJsonArray cuts;
    if (context.conversion)
        for (const auto& [from, to] : context.conversion->cutIntervals)
            cuts.append(QJsonArray{static_cast<double>(from), static_cast<double>(to)});
    return cuts;
}

QString PresetOf(const ConvertationContext& context)
{
    return context.conversion && context.conversion->preset
               ? QString::fromStdString(context.conversion->preset->GetId())
               : QString();
}

struct Entry
{
    QString source;
    std::pair<qint64, qint64> sourceStat;
    QString preset;
    QJsonArray cuts;
    QString output;
    std::pair<qint64, qint64> outputStat;
    qint64 keptAt = 0;
    // Unknown until the sharing says; only a file known to be no copy of the user's is ever removed.
    std::optional<bool> userCopy;

    QJsonObject ToJson() const
    {
        QJsonObject json{{"source", source},
                         {"sourceSize", static_cast<double>(sourceStat.first)},
                         {"sourceModified", static_cast<double>(sourceStat.second)},
                         {"preset", preset},
                         {"cuts", cuts},
                         {"output", output},
                         {"outputSize", static_cast<double>(outputStat.first)},
                         {"outputModified", static_cast<double>(outputStat.second)},
                         {"keptAt", static_cast<double>(keptAt)}};
        if (userCopy)
            json.insert(QStringLiteral("userCopy"), *userCopy);
        return json;
    }

    static Entry FromJson(const QJsonObject& json)
    {
        Entry entry;
        entry.source = json.value(QStringLiteral("source")).toString();
        entry.sourceStat = {static_cast<qint64>(json.value(QStringLiteral("sourceSize")).toDouble(-1)),
                            static_cast<qint64>(json.value(QStringLiteral("sourceModified")).toDouble())};
        entry.preset = json.value(QStringLiteral("preset")).toString();
        entry.cuts = json.value(QStringLiteral("cuts")).toArray();
        entry.output = json.value(QStringLiteral("output")).toString();
        entry.outputStat = {static_cast<qint64>(json.value(QStringLiteral("outputSize")).toDouble(-1)),
                            static_cast<qint64>(json.value(QStringLiteral("outputModified")).toDouble())};
        entry.keptAt = static_cast<qint64>(json.value(QStringLiteral("keptAt")).toDouble());
        if (json.value(QStringLiteral("userCopy")).isBool())
            entry.userCopy = json.value(QStringLiteral("userCopy")).toBool();
        return entry;
    }
};
} // namespace

struct KeptConversions::Impl
{
    QString listFile;
    qint64 lifetimeMs = 0;
    qint64 sizeLimit = 0;
    std::vector<Entry> entries;
    QString current; // the output of the sharing under way

    void Load()
    {
        QFile file(listFile);
        if (!file.exists())
            return;
        QJsonParseError error{};
        const QJsonDocument document =
            file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &error) : QJsonDocument();
        if (!document.isArray())
        {
            LOG(WARNING) << kFind << ": " << "Ignoring the unreadable list of kept conversions "
                         << listFile.toStdString();
            return;
        }
        for (const QJsonValue& value : document.array())
        {
            Entry entry = Entry::FromJson(value.toObject());
            if (!entry.source.isEmpty() && !entry.output.isEmpty())
                entries.push_back(std::move(entry));
        }
    }

    void Save() const
    {
        QJsonArray list;
        for (const Entry& entry : entries)
            list.append(entry.ToJson());
        QSaveFile file(listFile);
        if (!QDir().mkpath(QFileInfo(listFile).absolutePath()) || !file.open(QIODevice::WriteOnly) ||
            file.write(QJsonDocument(list).toJson()) < 0 || !file.commit())
            LOG(ERROR) << kSave << ": " << "Cannot write the list of kept conversions " << listFile.toStdString()
                       << ": " << file.errorString().toStdString();
    }

    // Removes the file when it is ours and untouched since; the entry goes either way.
    static void Discard(const Entry& entry, const char* why)
    {
        const bool ours = entry.userCopy.has_value() && !*entry.userCopy;
        if (ours && Stat(entry.output) == entry.outputStat && QFile::remove(entry.output))
            LOG(INFO) << kPrune << ": " << "Removed the kept conversion " << entry.output.toStdString() << " ("
                      << why << ")";
    }

    template <class Predicate>
    bool DiscardIf(Predicate drop, const char* why)
    {
        const auto from = std::stable_partition(entries.begin(), entries.end(),
                                                [&drop](const Entry& entry) { return !drop(entry); });
        for (auto it = from; it != entries.end(); ++it)
            Discard(*it, why);
        const bool changed = from != entries.end();
        entries.erase(from, entries.end());
        return changed;
    }
};

KeptConversions::KeptConversions(const QString& listFile, qint64 lifetimeSeconds, qint64 sizeLimit, QObject* parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>())
{
    m_impl->listFile = listFile;
    m_impl->lifetimeMs = lifetimeSeconds * 1000;
    m_impl->sizeLimit = sizeLimit;
    m_impl->Load();
    Prune();
}

KeptConversions::~KeptConversions() = default;

void KeptConversions::Prune()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    bool changed = m_impl->DiscardIf([](const Entry& entry) { return Stat(entry.output).first < 0; }, "gone");
    changed |= m_impl->DiscardIf(
        [this, now](const Entry& entry) { return entry.output != m_impl->current && now - entry.keptAt >= m_impl->lifetimeMs; },
        "older than its upload could resume");
    // Newest first: what is past the limit goes.
    std::stable_sort(m_impl->entries.begin(), m_impl->entries.end(),
                     [](const Entry& a, const Entry& b) { return a.keptAt > b.keptAt; });
    qint64 total = 0;
    changed |= m_impl->DiscardIf(
        [this, &total](const Entry& entry) {
            total += qMax<qint64>(0, entry.outputStat.first);
            return entry.output != m_impl->current && total > m_impl->sizeLimit;
        },
        "the kept conversions passed their size limit");
    if (changed)
        m_impl->Save();
}

std::optional<ioPath> KeptConversions::Find(const ConvertationContext& request)
{
    Prune();
    const QString source = Local(request.sourcePath);
    const auto sourceStat = Stat(source);
    // A changed source makes every conversion of it useless.
    if (m_impl->DiscardIf(
            [&](const Entry& entry) { return entry.source == source && entry.sourceStat != sourceStat; },
            "its source changed"))
        m_impl->Save();

    const QString folder = QFileInfo(Local(request.outputPath)).absolutePath();
    for (Entry& entry : m_impl->entries)
    {
        if (entry.source != source || entry.preset != PresetOf(request) || entry.cuts != CutsJson(request) ||
            QFileInfo(entry.output).absolutePath() != folder || Stat(entry.output) != entry.outputStat)
            continue;
        LOG(INFO) << kFind << ": " << "Reusing " << entry.output.toStdString() << ", converted from "
                  << source.toStdString() << " by a sharing that did not end";
        m_impl->current = entry.output;
        return ioPath(entry.output.toStdString());
    }
    return std::nullopt;
}

void KeptConversions::Keep(const ConvertationContext& converted)
{
    Entry entry;
    entry.source = Local(converted.sourcePath);
    entry.sourceStat = Stat(entry.source);
    entry.preset = PresetOf(converted);
    entry.cuts = CutsJson(converted);
    entry.output = Local(converted.outputPath);
    entry.outputStat = Stat(entry.output);
    entry.keptAt = QDateTime::currentMSecsSinceEpoch();
    auto& entries = m_impl->entries;
    const auto same = std::find_if(entries.begin(), entries.end(),
                                   [&entry](const Entry& other) { return other.output == entry.output; });
    if (same != entries.end())
    {
        // Reused: it keeps its age and what is known about it.
        entry.keptAt = same->keptAt;
        entry.userCopy = same->userCopy;
        *same = entry;
    }
    else
    {
        entries.push_back(entry);
    }
    m_impl->current = entry.output;
    m_impl->Save();
}

void KeptConversions::SetUserCopy(const ioPath& output, bool userCopy)
{
    const QString path = Local(output);
    for (Entry& entry : m_impl->entries)
        if (entry.output == path)
            entry.userCopy = userCopy;
    m_impl->Save();
}

void KeptConversions::Forget(const ioPath& output)
{
    const QString path = Local(output);
    auto& entries = m_impl->entries;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&path](const Entry& entry) { return entry.output == path; }),
                  entries.end());
    if (m_impl->current == path)
        m_impl->current.clear();
    m_impl->Save();
}

void KeptConversions::Serve(Service::Sharing::AbstractSharingManager* manager, VideoConverter* converter)
{
    using Service::Sharing::AbstractSharingManager;
    converter->SetEarlierOutput([this](const ConvertationContext& request) { return Find(request); });
    connect(converter, &VideoConverter::Finished, this, &KeptConversions::Keep);
    connect(manager, &AbstractSharingManager::SharingStarted, this,
            [this](const QString&, const QMap<QString, QString>& parameters) {
                if (!m_impl->current.isEmpty())
                    SetUserCopy(ioPath(m_impl->current.toStdString()),
                                parameters.value(QStringLiteral("SAVE_TO")) == QLatin1String("YES"));
            });
    // An ended sharing removed its file or left it to the user; a cancelled
    // one (an upload refused at once) may have left it: it stays listed.
    connect(manager, &AbstractSharingManager::SharingFinished, this, [this] {
        if (!m_impl->current.isEmpty())
            Forget(ioPath(m_impl->current.toStdString()));
    });
}

} // namespace Tavrix::RQ::Host
