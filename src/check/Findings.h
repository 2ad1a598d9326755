// What the data checker found: each finding with its file, line and column, printed the way
// compilers print theirs ("levels/03_columns.xml:12:5: error: ..."), so editors can jump to it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "base/XmlAttributes.h"

class TiXmlNode;
class TiXmlElement;

enum class Severity { Error, Warning, Note };

// A place in a data file. Line 0 stands for the file as a whole (a missing or unused file).
struct Location {
    std::string file;
    int line = 0;
    int column = 0;
};

// The place TinyXML recorded for a node of a loaded document (the document's name is the path it
// was opened with), and for one attribute of an element; the element itself when it has no
// attribute of that name.
Location locationOf(const TiXmlNode* node);
Location locationOf(const TiXmlElement* element, const char* attribute);

struct Finding {
    Location where;
    Severity severity;
    std::string message;
};

// One line: "file:line:column: error: message", or "file: warning: message" for a whole file.
std::string formatFinding(const Finding& finding);

class Findings {
public:
    void error(const Location& where, const std::string& message) { add(where, Severity::Error, message); }
    void warning(const Location& where, const std::string& message) { add(where, Severity::Warning, message); }
    void note(const Location& where, const std::string& message) { add(where, Severity::Note, message); }
    void add(const Location& where, Severity severity, const std::string& message);

    // Files are listed in the order they are first named here (the order the game loads them);
    // files never named come after, by name.
    void fileLoaded(const std::string& file);

    // Every finding by file, then line and column, in the order found where those tie. A
    // warning at the very place of an error is left out: the error already names that mistake.
    std::vector<Finding> sorted() const;
    int count(Severity severity) const;
    bool empty() const { return findings.empty(); }

private:
    std::vector<Finding> findings;
    std::vector<std::string> files;
};
