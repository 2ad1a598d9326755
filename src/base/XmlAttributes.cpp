// Attribute readers and the colour parser.
#include "base/XmlAttributes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <sstream>
#include <sys/stat.h>
#include <tinyxml.h>

#include "base/Exceptions.h"

Colour parseColour(const std::string& text) {
    std::istringstream stream(text);
    uint32_t value = 0; // a text whose first character is not a hex digit reads as black
    stream >> std::hex >> value;
    if (stream.fail())
        value = 0;
    Colour colour;
    if (text.size() == 6) {
        colour.red = ((value >> 16) & 0xff) / 255.0;
        colour.green = ((value >> 8) & 0xff) / 255.0;
        colour.blue = (value & 0xff) / 255.0;
        colour.alpha = 1.0f;
    } else if (text.size() == 8) {
        colour.red = ((value >> 24) & 0xff) / 255.0;
        colour.green = ((value >> 16) & 0xff) / 255.0;
        colour.blue = ((value >> 8) & 0xff) / 255.0;
        colour.alpha = (value & 0xff) / 255.0;
    } else {
        throw BaseException(
            "Colour invalid, must be in hex format with one byte for each channel and either RGB or RGBA:" + text);
    }
    return colour;
}

namespace xml {

bool loadDocument(TiXmlDocument& document, const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return document.LoadFile(path.c_str());
}

bool readFloat(const TiXmlElement* element, const char* name, float& value) {
    if (element == nullptr)
        return false;
    float read = value;
    if (element->QueryFloatAttribute(name, &read) != TIXML_SUCCESS)
        return false;
    value = read;
    return true;
}

namespace {
// A bound as a message shows it: whole numbers in full ("2147483647", not "2.14748e+09").
std::string formatBound(double value) {
    char text[48];
    if (value == std::trunc(value) && std::fabs(value) < 1e18)
        std::snprintf(text, sizeof text, "%.0f", value);
    else
        std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}
} // namespace

namespace {
std::string outOfRange(const Setting& setting, double value, double low, double high) {
    // Written to be true for NaN too.
    if (value >= low && value <= high)
        return "";
    const std::string shown = setting.kind == ValueKind::Integer ? formatBound(value) : formatNumber(float(value));
    return std::string(setting.name) + " " + shown + " is out of range: it must be from " + formatBound(low) + " to " +
           formatBound(high) + "!";
}
} // namespace

std::string outOfRange(const Setting& setting, double value) {
    return outOfRange(setting, value, setting.low, setting.high);
}

std::string readSetting(const TiXmlElement* element, const Setting& setting, float& value) {
    float read = value;
    if (!readFloat(element, setting.name, read))
        return "";
    std::string fault = outOfRange(setting, read);
    // A number too large for a float reads as infinite: the message shows it as written.
    if (!fault.empty() && std::isinf(read))
        fault = outOfRange(setting, read).replace(std::strlen(setting.name) + 1, formatNumber(read).size(),
                                                   element->Attribute(setting.name));
    if (fault.empty())
        value = read;
    return fault;
}

std::string readSetting(const TiXmlElement* element, const Setting& setting, bool& flag) {
    readBool(element, setting.name, flag);
    return "";
}

std::string readSetting(const TiXmlElement* element, const Setting& setting, std::string& value) {
    readText(element, setting.name, value);
    return "";
}

std::string readSetting(const TiXmlElement* element, const Setting& setting, Colour& colour) {
    readColour(element, setting.name, colour);
    return "";
}

std::string readSetting(const TiXmlElement* element, const Setting& setting, int& value) {
    const char* text = element != nullptr ? element->Attribute(setting.name) : nullptr;
    if (text == nullptr)
        return "";
    // Read as "%d" reads, but wide enough that a number past an int is refused as itself rather
    // than wrapped round first.
    char* end = nullptr;
    const long long read = std::strtoll(text, &end, 10);
    if (end == text)
        return "";
    const double low = std::max(setting.low, double(INT_MIN));
    const double high = std::min(setting.high, double(INT_MAX));
    std::string fault = outOfRange(setting, double(read), low, high);
    if (fault.empty())
        value = static_cast<int>(read);
    return fault;
}

bool readInt(const TiXmlElement* element, const char* name, int& value) {
    const char* text = element ? element->Attribute(name) : nullptr;
    int read = 0;
    if (text == nullptr || std::sscanf(text, "%d", &read) != 1)
        return false;
    value = read;
    return true;
}

bool readBool(const TiXmlElement* element, const char* name, bool& flag) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (text == nullptr)
        return false;
    const std::string word = text;
    if (flag && word == "false") {
        flag = false;
        return true;
    }
    if (!flag && word == "true") {
        flag = true;
        return true;
    }
    return false;
}

bool readText(const TiXmlElement* element, const char* name, std::string& value) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (text == nullptr)
        return false;
    value = text;
    return true;
}

bool readElementText(const TiXmlElement* element, std::string& value) {
    if (element == nullptr)
        return false;
    std::string text;
    bool found = false;
    // Every text node, so that a comment (or any other node) between the pieces does not cut
    // the text short: <sfx><!-- hit -->red.wav</sfx> names red.wav.
    for (const TiXmlNode* node = element->FirstChild(); node != nullptr; node = node->NextSibling()) {
        if (const TiXmlText* piece = node->ToText()) {
            text += piece->ValueStr();
            found = true;
        }
    }
    if (found)
        value = text;
    return found;
}

bool readColour(const TiXmlElement* element, const char* name, Colour& colour) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (text == nullptr)
        return false;
    colour = parseColour(text);
    return true;
}

} // namespace xml

std::string formatNumber(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}
