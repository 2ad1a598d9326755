// libFuzzer target for the recording reader: any bytes as a recording file. What it accepts must
// write and read back to the same recording, and what it refuses must say why; nothing may be read
// past the input (it sits against an unmapped page). The fingerprint would stop almost every change
// at the door, so each input is also read with the fingerprint made right.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "GuardedInput.h"
#include "base/Hash.h"
#include "rules/Recording.h"

// Larger inputs teach the fuzzer nothing the small ones do not.
constexpr std::size_t kMaxInput = 1 << 16;

namespace {

void check(std::string_view bytes) {
    std::string why;
    const std::optional<Recording> read = decodeRecording(bytes, why);
    if (!read) {
        if (why.empty())
            std::abort();
        return;
    }
    const std::string again = encodeRecording(*read);
    std::string whyAgain;
    const std::optional<Recording> reread = decodeRecording(again, whyAgain);
    if (!reread || reread->inputs != read->inputs || reread->header.steps != read->header.steps)
        std::abort();
}

// `bytes` with the fingerprint on its "body" line made that of the lines above it and what follows
// the header, or empty when there is no such line.
std::string withRightFingerprint(std::string_view bytes) {
    const std::size_t line = bytes.find("\nbody ");
    const std::size_t space = line == std::string_view::npos ? line : bytes.find(' ', line + 6);
    const std::size_t end = space == std::string_view::npos ? space : bytes.find('\n', space);
    if (end == std::string_view::npos || end + 2 > bytes.size())
        return {};
    char print[17];
    std::snprintf(print, sizeof print, "%016llx",
                  static_cast<unsigned long long>(
                      hash::fnv1a64(bytes.substr(end + 2), hash::fnv1a64(bytes.substr(0, line + 1)))));
    return std::string(bytes.substr(0, space + 1)) + print + std::string(bytes.substr(end));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    GuardedInput input(data, size);
    if (!input.ok())
        return 0;
    check(std::string_view(reinterpret_cast<const char*>(input.data()), input.size()));
    const std::string fixed =
        withRightFingerprint(std::string_view(reinterpret_cast<const char*>(input.data()), input.size()));
    if (!fixed.empty()) {
        GuardedInput guarded(reinterpret_cast<const uint8_t*>(fixed.data()), fixed.size());
        if (guarded.ok())
            check(std::string_view(reinterpret_cast<const char*>(guarded.data()), guarded.size()));
    }
    return 0;
}
