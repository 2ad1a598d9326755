// Attribute readers and the colour parser.
#include "base/XmlAttributes.h"

#include <cstdint>
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
std::string outOfRange(const char* name, const std::string& value, const std::string& low, const std::string& high) {
    return std::string(name) + " " + value + " is out of range: it must be from " + low + " to " + high + "!";
}
} // namespace

std::string readFloatInRange(const TiXmlElement* element, const char* name, float& value, float low, float high) {
    float read = value;
    if (!readFloat(element, name, read))
        return "";
    // Written to be false for NaN too.
    if (!(read >= low && read <= high))
        return outOfRange(name, formatNumber(read), formatNumber(low), formatNumber(high));
    value = read;
    return "";
}

std::string readIntInRange(const TiXmlElement* element, const char* name, int& value, int low, int high) {
    int read = value;
    if (!readInt(element, name, read))
        return "";
    if (read < low || read > high)
        return outOfRange(name, std::to_string(read), std::to_string(low), std::to_string(high));
    value = read;
    return "";
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
