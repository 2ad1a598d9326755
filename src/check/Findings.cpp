// Findings: locations from TinyXML, the compiler-style line, and the order of the report.
#include "check/Findings.h"

#include <algorithm>
#include <tinyxml.h>
#include <tuple>
#include <unordered_map>

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
    // n log n however many findings: the places of errors are sorted once and each warning looks
    // its own place up, and each file's rank is looked up once per finding, not searched for.
    auto byPlace = [](const Location& a, const Location& b) {
        return std::tie(a.file, a.line, a.column) < std::tie(b.file, b.line, b.column);
    };
    std::vector<Location> errorPlaces;
    for (const Finding& finding : findings)
        if (finding.severity == Severity::Error && finding.where.line > 0)
            errorPlaces.push_back(finding.where);
    std::sort(errorPlaces.begin(), errorPlaces.end(), byPlace);

    std::unordered_map<std::string, std::size_t> ranks;
    for (std::size_t i = 0; i < files.size(); ++i)
        ranks.emplace(files[i], i);
    // Files never named rank after every named one.
    struct Ranked {
        std::size_t rank;
        const Finding* finding;
    };
    std::vector<Ranked> kept;
    kept.reserve(findings.size());
    for (const Finding& finding : findings) {
        if (finding.severity == Severity::Warning &&
            std::binary_search(errorPlaces.begin(), errorPlaces.end(), finding.where, byPlace))
            continue;
        const auto rank = ranks.find(finding.where.file);
        kept.push_back({rank != ranks.end() ? rank->second : files.size(), &finding});
    }
    std::stable_sort(kept.begin(), kept.end(), [&](const Ranked& a, const Ranked& b) {
        return a.rank != b.rank ? a.rank < b.rank : byPlace(a.finding->where, b.finding->where);
    });
    std::vector<Finding> result;
    result.reserve(kept.size());
    for (const Ranked& ranked : kept)
        result.push_back(*ranked.finding);
    return result;
}

int Findings::count(Severity severity) const {
    int n = 0;
    for (const Finding& finding : sorted())
        if (finding.severity == severity)
            ++n;
    return n;
}
