// The preset catalogue and its orderer, read from the JSON files described in
// resources/README.md.

#include "MediaPresets.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <glog/logging.h>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace Tavrix::ClientAPI {

namespace {

constexpr char kLoadPresets[] = "Tavrix::ClientAPI::PresetStorage::LoadPresets: ";
constexpr char kCreateOrderer[] = "Tavrix::ClientAPI::PresetOrderer::Create: ";
constexpr char kPresetsFormat[] = "tavrix-presets";
constexpr char kOrderFormat[] = "tavrix-presets-order";
constexpr int kFormatVersion = 1;

// What is wrong with a file, in words for the log line.
class FormatError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

std::string Quoted(const QString& text)
{
    return "\"" + text.toStdString() + "\"";
}

// Reads the file as one JSON object of the given format. Throws FormatError
// for a malformed file; returns false (with the reason) for an unreadable one.
bool ReadJsonObject(const ioPath& path, const char* format, QJsonObject& out, std::string& unreadable)
{
    QFile file(QString::fromStdString(path.utf8string()));
    if (!file.open(QIODevice::ReadOnly))
    {
        unreadable = file.errorString().toStdString();
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw FormatError("JSON error at offset " + std::to_string(parseError.offset) + ": " +
                          parseError.errorString().toStdString());
    if (!document.isObject())
        throw FormatError("the top level is not an object");
    out = document.object();
    if (out.value(QStringLiteral("format")).toString() != QLatin1String(format))
        throw FormatError(std::string("\"format\" is not \"") + format + "\"");
    if (out.value(QStringLiteral("version")).toInt() != kFormatVersion)
        throw FormatError("\"version\" is not " + std::to_string(kFormatVersion));
    return true;
}

QString RequireString(const QJsonObject& object, const char* key, const std::string& where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString() || value.toString().isEmpty())
        throw FormatError(where + ": \"" + key + "\" must be a non-empty string");
    return value.toString();
}

QString OptionalString(const QJsonObject& object, const char* key, const std::string& where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined())
        return QString();
    if (!value.isString())
        throw FormatError(where + ": \"" + key + "\" must be a string");
    return value.toString();
}

std::int64_t RequirePositive(const QJsonObject& object, const char* key, const std::string& where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number <= 0 || number != static_cast<double>(static_cast<std::int64_t>(number)))
        throw FormatError(where + ": \"" + key + "\" must be a positive whole number");
    return static_cast<std::int64_t>(number);
}

QJsonObject OptionalObject(const QJsonObject& object, const char* key, const std::string& where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isUndefined() && !value.isObject())
        throw FormatError(where + ": \"" + key + "\" must be an object");
    return value.toObject();
}

QJsonArray OptionalArray(const QJsonObject& object, const char* key, const std::string& where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isUndefined() && !value.isArray())
        throw FormatError(where + ": \"" + key + "\" must be an array");
    return value.toArray();
}

QVariant ScalarValue(const QJsonValue& value)
{
    if (value.isDouble())
    {
        const double number = value.toDouble();
        if (number == static_cast<double>(static_cast<qint64>(number)))
            return QVariant(static_cast<qint64>(number));
        return QVariant(number);
    }
    return value.toVariant();
}

// Settings objects become children in the key order Qt keeps (sorted).
void AddSettings(Core::Property& node, const QJsonObject& settings, const std::string& where)
{
    for (auto it = settings.begin(); it != settings.end(); ++it)
    {
        const std::string name = it.key().toStdString();
        if (it.value().isArray())
            throw FormatError(where + ": setting \"" + name + "\" is an array, which filters do not take");
        if (it.value().isObject())
            AddSettings(node.AddChild(Core::Property(name)), it.value().toObject(), where + "." + name);
        else
            node.AddChild(Core::Property(name, ScalarValue(it.value())));
    }
}

class CataloguePreset : public Conf::IPreset
{
public:
    std::string GetId() const override { return id; }
    std::string GetFileExtension() const override { return fileExtension; }
    std::size_t GetFiltersCount() const override { return filters.size(); }
    const Core::Property& GetFilterProperty(std::size_t index) const override { return filters.at(index); }
    std::vector<std::string> GetTags() const override { return tags; }
    std::string GetContainer() const override { return container; }
    std::string GetVideoCodec() const override { return videoCodec; }
    std::string GetVideoProfile() const override { return videoProfile; }
    std::int64_t GetVideoBitRate() const override { return videoBitRate; }
    std::string GetAudioCodec() const override { return audioCodec; }
    std::string GetAudioProfile() const override { return audioProfile; }
    std::int64_t GetAudioBitRate() const override { return audioBitRate; }
    std::int32_t GetAudioSampleRate() const override { return audioSampleRate; }
    std::int32_t GetAudioChannels() const override { return audioChannels; }

    std::string id;
    std::map<QString, QString> names;
    std::vector<std::string> tags;
    std::string container;
    std::string fileExtension;
    std::vector<Core::Property> filters;
    std::string videoCodec;
    std::string videoProfile;
    std::int64_t videoBitRate = 0;
    std::string audioCodec;
    std::string audioProfile;
    std::int64_t audioBitRate = 0;
    std::int32_t audioSampleRate = 0;
    std::int32_t audioChannels = 0;
};

using CataloguePresetPtr = boost::intrusive_ptr<CataloguePreset>;

CataloguePresetPtr ParsePreset(const QJsonValue& value, int index)
{
    std::string where = "preset " + std::to_string(index);
    if (!value.isObject())
        throw FormatError(where + " is not an object");
    const QJsonObject object = value.toObject();
    CataloguePresetPtr preset(new CataloguePreset);
    preset->id = RequireString(object, "id", where).toStdString();
    where += " (" + Quoted(QString::fromStdString(preset->id)) + ")";

    const QJsonObject names = OptionalObject(object, "names", where);
    for (auto it = names.begin(); it != names.end(); ++it)
    {
        if (!it.value().isString())
            throw FormatError(where + ": name \"" + it.key().toStdString() + "\" must be a string");
        preset->names.emplace(it.key(), it.value().toString());
    }

    for (const QJsonValue& tag : OptionalArray(object, "tags", where))
    {
        if (!tag.isString() || tag.toString().isEmpty())
            throw FormatError(where + ": \"tags\" must hold non-empty strings");
        preset->tags.push_back(tag.toString().toStdString());
    }

    preset->container = RequireString(object, "container", where).toStdString();
    preset->fileExtension = RequireString(object, "fileExtension", where).toStdString();

    const QJsonObject video = OptionalObject(object, "video", where);
    if (!video.isEmpty())
    {
        preset->videoCodec = RequireString(video, "codec", where + ".video").toStdString();
        preset->videoProfile = OptionalString(video, "profile", where + ".video").toStdString();
        preset->videoBitRate = RequirePositive(video, "bitRate", where + ".video");
    }
    const QJsonObject audio = OptionalObject(object, "audio", where);
    if (!audio.isEmpty())
    {
        preset->audioCodec = RequireString(audio, "codec", where + ".audio").toStdString();
        preset->audioProfile = OptionalString(audio, "profile", where + ".audio").toStdString();
        preset->audioBitRate = RequirePositive(audio, "bitRate", where + ".audio");
        preset->audioSampleRate = static_cast<std::int32_t>(RequirePositive(audio, "sampleRate", where + ".audio"));
        preset->audioChannels = static_cast<std::int32_t>(RequirePositive(audio, "channels", where + ".audio"));
    }
    if (video.isEmpty() && audio.isEmpty())
        throw FormatError(where + ": neither \"video\" nor \"audio\"");

    int filterIndex = 0;
    for (const QJsonValue& filterValue : OptionalArray(object, "filters", where))
    {
        const std::string filterWhere = where + " filter " + std::to_string(filterIndex++);
        if (!filterValue.isObject())
            throw FormatError(filterWhere + " is not an object");
        const QJsonObject filter = filterValue.toObject();
        Core::Property root("filter");
        Core::Property& settings = root.AddChild(Core::Property(RequireString(filter, "class", filterWhere).toStdString()));
        AddSettings(settings, OptionalObject(filter, "settings", filterWhere), filterWhere);
        preset->filters.push_back(std::move(root));
    }
    return preset;
}

std::vector<CataloguePresetPtr> ParsePresetsFile(const QJsonObject& top)
{
    const QJsonValue list = top.value(QStringLiteral("presets"));
    if (!list.isArray())
        throw FormatError("\"presets\" must be an array");
    std::vector<CataloguePresetPtr> presets;
    int index = 0;
    for (const QJsonValue& value : list.toArray())
        presets.push_back(ParsePreset(value, index++));
    return presets;
}

class OrderFileOrderer : public IPresetOrderer
{
public:
    explicit OrderFileOrderer(std::vector<std::string> order)
        : m_order(std::move(order))
    {
    }

    void Order(std::vector<Conf::IPresetPtr>& presets) const override
    {
        const auto rank = [this](const Conf::IPresetPtr& preset) {
            const auto found = std::find(m_order.begin(), m_order.end(), preset ? preset->GetId() : std::string());
            return static_cast<std::size_t>(found - m_order.begin());
        };
        std::stable_sort(presets.begin(), presets.end(),
                         [&rank](const Conf::IPresetPtr& a, const Conf::IPresetPtr& b) { return rank(a) < rank(b); });
    }

private:
    std::vector<std::string> m_order;
};

} // namespace

IPresetOrdererPtr PresetOrderer::Create(const ioPath& orderFile)
{
    std::vector<std::string> order;
    try
    {
        QJsonObject top;
        std::string unreadable;
        if (!ReadJsonObject(orderFile, kOrderFormat, top, unreadable))
        {
            LOG(ERROR) << kCreateOrderer << "Cannot read order file \"" << orderFile << "\": " << unreadable;
            return IPresetOrdererPtr(new OrderFileOrderer({}));
        }
        const QJsonValue list = top.value(QStringLiteral("order"));
        if (!list.isArray())
            throw FormatError("\"order\" must be an array");
        for (const QJsonValue& id : list.toArray())
        {
            if (!id.isString() || id.toString().isEmpty())
                throw FormatError("\"order\" must hold non-empty strings");
            order.push_back(id.toString().toStdString());
        }
    }
    catch (const FormatError& error)
    {
        LOG(ERROR) << kCreateOrderer << "Malformed order file \"" << orderFile << "\": " << error.what();
        order.clear();
    }
    return IPresetOrdererPtr(new OrderFileOrderer(std::move(order)));
}

struct PresetStorage::Impl
{
    // False when the file was unreadable or malformed; its presets are then
    // left out entirely.
    bool LoadFile(const ioPath& path)
    {
        try
        {
            QJsonObject top;
            std::string unreadable;
            if (!ReadJsonObject(path, kPresetsFormat, top, unreadable))
            {
                LOG(ERROR) << kLoadPresets << "Cannot read presets file \"" << path << "\": " << unreadable;
                return false;
            }
            std::vector<CataloguePresetPtr> loaded = ParsePresetsFile(top);
            LOG(INFO) << kLoadPresets << "Loaded " << loaded.size() << " presets from \"" << path << "\"";
            presets.insert(presets.end(), loaded.begin(), loaded.end());
            return true;
        }
        catch (const FormatError& error)
        {
            LOG(ERROR) << kLoadPresets << "Malformed presets file \"" << path << "\": " << error.what();
            return false;
        }
    }

    const CataloguePreset* Find(const std::string& id) const
    {
        for (const CataloguePresetPtr& preset : presets)
            if (preset->id == id)
                return preset.get();
        return nullptr;
    }

    std::vector<CataloguePresetPtr> presets;
    IPresetOrdererPtr orderer;
};

PresetStorage::PresetStorage()
    : m_impl(std::make_unique<Impl>())
{
}

PresetStorage::~PresetStorage() = default;

boost::intrusive_ptr<PresetStorage> PresetStorage::Create()
{
    return boost::intrusive_ptr<PresetStorage>(new PresetStorage);
}

bool PresetStorage::LoadPresets(const ioPath& presetsFile, const ioPath& userPresetsFile)
{
    m_impl->presets.clear();
    bool ok = m_impl->LoadFile(presetsFile);
    if (!userPresetsFile.empty())
        ok = m_impl->LoadFile(userPresetsFile) && ok;
    return ok;
}

void PresetStorage::SetPresetOrderer(const IPresetOrdererPtr& orderer)
{
    m_impl->orderer = orderer;
}

void PresetStorage::GetPresetsByTag(const std::string& tag, std::vector<Conf::IPresetPtr>& out) const
{
    out.clear();
    for (const CataloguePresetPtr& preset : m_impl->presets)
        if (std::find(preset->tags.begin(), preset->tags.end(), tag) != preset->tags.end())
            out.emplace_back(preset);
    if (m_impl->orderer)
        m_impl->orderer->Order(out);
}

Conf::IPresetPtr PresetStorage::GetPreset(const std::string& id) const
{
    return Conf::IPresetPtr(m_impl->Find(id));
}

std::string PresetStorage::LocalizedName(const std::string& id) const
{
    const CataloguePreset* preset = m_impl->Find(id);
    if (!preset)
        return std::string();
    const QString locale = QLocale().name();
    for (const QString& language : {locale, locale.section(QLatin1Char('_'), 0, 0), QStringLiteral("en")})
    {
        const auto found = preset->names.find(language);
        if (found != preset->names.end())
            return found->second.toStdString();
    }
    return id;
}

} // namespace Tavrix::ClientAPI
