// The attribute conventions every loader shares: optional attributes over the defaults the
// object already holds, lenient number scans, one exact word for booleans, hex colours.
// Each reader leaves the target untouched when the attribute is missing or does not read.
#pragma once

#include <string>

#include "base/Colour.h"
#include "base/Setting.h"

class TiXmlDocument;
class TiXmlElement;

namespace xml {

// Loads a document from a file. Only a regular file is read: TinyXML sizes its buffer from the
// file's end offset, which for a directory is no size at all. True when the document loaded.
bool loadDocument(TiXmlDocument& document, const std::string& path);

// Float through TinyXML's QueryFloatAttribute ("%lf", stored as float). True if it was read.
bool readFloat(const TiXmlElement* element, const char* name, float& value);
// Integer with sscanf "%d". True if it was read.
bool readInt(const TiXmlElement* element, const char* name, int& value);
// A flag is changed only by the one word that differs from its default: "false" turns a
// true flag off, "true" turns a false flag on. Any other text keeps the current value.
bool readBool(const TiXmlElement* element, const char* name, bool& flag);
// The attribute's text unchanged. True if the attribute exists.
bool readText(const TiXmlElement* element, const char* name, std::string& value);
// The element's own text: all of its text children joined, whatever other nodes (comments)
// lie between them. True if the element has any text.
bool readElementText(const TiXmlElement* element, std::string& value);
// A declared setting (Setting.h) read into `value` by its kind: empty when the attribute is
// absent, or reads as a number within the setting's range; otherwise the message "NAME VALUE is
// out of range: it must be from LOW to HIGH!" for the caller to report, and `value` unchanged.
// Text that does not read as a number keeps the default, as readFloat and readInt do.
std::string readSetting(const TiXmlElement* element, const Setting& setting, float& value);
std::string readSetting(const TiXmlElement* element, const Setting& setting, int& value);
// Flags and texts read as readBool and readText do; they have no range, so always empty.
std::string readSetting(const TiXmlElement* element, const Setting& setting, bool& flag);
std::string readSetting(const TiXmlElement* element, const Setting& setting, std::string& value);
// A colour as readColour reads it: a text that is no colour throws.
std::string readSetting(const TiXmlElement* element, const Setting& setting, Colour& colour);
// The message for `value` outside the setting's range, or empty when it is inside (NaN never is).
std::string outOfRange(const Setting& setting, double value);
// parseColour on the attribute's text; a bad colour throws.
bool readColour(const TiXmlElement* element, const char* name, Colour& colour);

} // namespace xml

// A value as the messages show it: "%g", so 0.5, 736 and -4 read as written.
std::string formatNumber(float value);
