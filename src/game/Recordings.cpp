// Recordings as files: kept under the player's data home, read for a replay, checked for this
// program and its data.
#include "game/Recordings.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/Hash.h"
#include "game/KeptFile.h"

#ifndef PELLVANE_VERSION
#define PELLVANE_VERSION "0"
#endif

namespace recordings {
namespace {

const keptfile::FileKind kRecordingFile{
    "recording", "a recording", kMaxFileBytes,
    [](const std::string& bytes, std::string& why) { return decodeRecording(bytes, why).has_value(); }};

} // namespace

std::string keptPath(const char* relative) {
    return keptfile::underDataHome(relative);
}

bool save(const std::string& path, const Recording& recording) {
    return keptfile::replace(kRecordingFile, path, encodeRecording(recording));
}

void keep(const Recording& recording, bool best) {
    const std::string last = keptPath(kLast);
    if (last.empty())
        return;
    const keptfile::Found previous = keptfile::inspect(kRecordingFile, last);
    if (previous.kind == keptfile::Found::kOurs)
        keptfile::replace(kRecordingFile, keptPath(kPrevious), previous.bytes);
    save(last, recording);
    if (best)
        save(keptPath(kBest), recording);
}

std::optional<Recording> load(const std::string& path, std::string& why) {
    const keptfile::Found found = keptfile::inspect(kRecordingFile, path);
    switch (found.kind) {
    case keptfile::Found::kMissing:
        why = "no such file";
        return std::nullopt;
    case keptfile::Found::kKept:
        why = found.why;
        return std::nullopt;
    case keptfile::Found::kOurs:
        break;
    }
    return decodeRecording(found.bytes, why);
}

std::string refusal(const RecordingHeader& header, uint64_t fingerprint, uint32_t stepRate) {
    if (header.gameVersion != programVersion())
        return "recorded by pellvane " + header.gameVersion + ", and this is pellvane " + programVersion();
    if (header.dataFingerprint != fingerprint)
        return "recorded on other data (config.xml or a level file differs)";
    if (header.stepRate != stepRate)
        return "recorded at " + std::to_string(header.stepRate) + " steps a second, and the data steps " +
               std::to_string(stepRate);
    return {};
}

uint64_t fingerprintOf(const std::vector<std::string>& files) {
    uint64_t value = hash::kFnvOffset;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Each file's length first, so bytes moved from one file to the next still count.
        value = hash::fnv1a64(std::to_string(bytes.size()) + ":", value);
        value = hash::fnv1a64(bytes, value);
    }
    return value;
}

const char* programVersion() {
    return PELLVANE_VERSION;
}

} // namespace recordings
