// Findings: locations from TinyXML, the compiler-style line, and the order of the report.
#include "check/Findings.h"

#include <algorithm>
#include <tinyxml.h>
#include <tuple>

namespace {
const char* severityName(Severity severity) {
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Note:
        return "note";
    }
    return "note";
}

std::string fileOf(const TiXmlNode* node) {
    const TiXmlDocument* document = node != nullptr ? node->GetDocument() : nullptr;
    return document != nullptr ? document->ValueStr() : std::string();
}

bool sameLocation(const Location& a, const Location& b) {
    return a.file == b.file && a.line == b.line && a.column == b.column;
}
} // namespace

Location locationOf(const TiXmlNode* node) {
    if (node == nullptr)
        return {};
    return {fileOf(node), node->Row(), node->Column()};
}

Location locationOf(const TiXmlElement* element, const char* attribute) {
    if (element == nullptr)
        return {};
    for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next())
        if (a->NameTStr() == attribute)
            return {fileOf(element), a->Row(), a->Column()};
    return locationOf(element);
}

std::string formatFinding(const Finding& finding) {
    std::string line = finding.where.file.empty() ? std::string("(data)") : finding.where.file;
    if (finding.where.line > 0)
        line += ":" + std::to_string(finding.where.line) + ":" + std::to_string(finding.where.column);
    return line + ": " + severityName(finding.severity) + ": " + finding.message;
}

void Findings::add(const Location& where, Severity severity, const std::string& message) {
    findings.push_back({where, severity, message});
}

void Findings::fileLoaded(const std::string& file) {
    if (std::find(files.begin(), files.end(), file) == files.end())
        files.push_back(file);
}

std::vector<Finding> Findings::sorted() const {
    std::vector<Finding> kept;
    for (const Finding& finding : findings) {
        const bool shadowed =
            finding.severity == Severity::Warning &&
            std::any_of(findings.begin(), findings.end(), [&](const Finding& f) {
                return f.severity == Severity::Error && f.where.line > 0 && sameLocation(f.where, finding.where);
            });
        if (!shadowed)
            kept.push_back(finding);
    }
    auto rank = [this](const std::string& file) {
        auto found = std::find(files.begin(), files.end(), file);
        return static_cast<std::size_t>(found - files.begin());
    };
    std::stable_sort(kept.begin(), kept.end(), [&](const Finding& a, const Finding& b) {
        return std::make_tuple(rank(a.where.file), a.where.file, a.where.line, a.where.column) <
               std::make_tuple(rank(b.where.file), b.where.file, b.where.line, b.where.column);
    });
    return kept;
}

int Findings::count(Severity severity) const {
    int n = 0;
    for (const Finding& finding : sorted())
        if (finding.severity == severity)
            ++n;
    return n;
}
