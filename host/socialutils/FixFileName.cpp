#include "SocialUtils.h"

#include <array>
#include <cctype>
#include <cstdint>

namespace Tavrix::RQ::Service::Sharing {

namespace {

// NAME_MAX of the common Linux and macOS file systems is 255 bytes; callers
// append "." and an extension, so the name keeps room for one of up to 16 bytes.
constexpr std::size_t kMaxExtensionBytes = 16;
constexpr std::size_t kMaxNameBytes = 255 - 1 - kMaxExtensionBytes;
constexpr char kReplacement = '_';
constexpr char kFallbackName[] = "Untitled";

// One UTF-8 sequence read from the input; length 0 means a broken sequence of
// one byte that gets replaced, so the output is always valid UTF-8.
struct CodePoint
{
    std::uint32_t value = 0;
    std::size_t length = 0;
};

CodePoint Decode(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return {lead, 1};

    std::size_t length = 0;
    std::uint32_t value = 0;
    std::uint32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0)
    {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    }
    else if ((lead & 0xF0) == 0xE0)
    {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    }
    else if ((lead & 0xF8) == 0xF0)
    {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    }
    else
    {
        return {};
    }
    if (at + length > text.size())
        return {};
    for (std::size_t i = 1; i < length; ++i)
    {
        if ((byte(at + i) & 0xC0) != 0x80)
            return {};
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8.
    if (value < smallest || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return {};
    return {value, length};
}

bool IsControl(std::uint32_t value)
{
    return value < 0x20 || (value >= 0x7F && value <= 0x9F);
}

bool IsForbidden(std::uint32_t value)
{
    static const std::string forbidden = "<>:\"/\\|?*";
    return value < 0x80 && forbidden.find(static_cast<char>(value)) != std::string::npos;
}

// Longest prefix of at most maxBytes that ends on a character boundary.
void CapBytes(std::string& text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return;
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
}

// Windows drops trailing dots and blanks, so a name ending in them would not
// be the name that gets written.
void TrimTrailingDotsAndBlanks(std::string& text)
{
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
}

std::string AsciiUpper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Windows refuses device names whatever the extension: "con.txt" and
// "Com1.tar.gz" name the device, not a file.
bool IsReservedDeviceName(const std::string& name)
{
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    base = AsciiUpper(base);

    static const std::array<const char*, 6> words = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* word : words)
        if (base == word)
            return true;

    if (base.rfind("COM", 0) != 0 && base.rfind("LPT", 0) != 0)
        return false;
    const std::string number = base.substr(3);
    // A digit, or the superscripts one to three, which Windows treats the same.
    return (number.size() == 1 && std::isdigit(static_cast<unsigned char>(number[0])))
        || number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

} // namespace

std::string FixFileNameForOS(const std::string& name)
{
    std::string fixed;
    fixed.reserve(name.size());
    for (std::size_t at = 0; at < name.size();)
    {
        const CodePoint point = Decode(name, at);
        if (point.length == 0)
        {
            fixed += kReplacement;
            ++at;
            continue;
        }
        if (IsForbidden(point.value))
            fixed += kReplacement;
        else if (!IsControl(point.value))
            fixed.append(name, at, point.length);
        at += point.length;
    }

    CapBytes(fixed, kMaxNameBytes);
    TrimTrailingDotsAndBlanks(fixed);
    if (fixed.empty())
        fixed = kFallbackName;
    if (IsReservedDeviceName(fixed))
    {
        // No device name starts with the replacement, so this settles it.
        fixed.insert(fixed.begin(), kReplacement);
        CapBytes(fixed, kMaxNameBytes);
        TrimTrailingDotsAndBlanks(fixed);
    }
    return fixed;
}

} // namespace Tavrix::RQ::Service::Sharing
