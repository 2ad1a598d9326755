// The recording format: a strict reader (every header line in its place, every number in range,
// the body's length and fingerprint checked before a record is read, every read of the body
// behind `Body::byte`) and the writer that produces exactly what it accepts.
#include "rules/Recording.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

#include "base/Hash.h"

namespace {

constexpr char kMagic[] = "pellvane-recording";
// A header line longer than this is no line of ours.
constexpr std::size_t kMaxLine = 128;
constexpr uint8_t kCompactPointer = 0x80;
constexpr uint32_t kCompactMostSteps = 0x7F;
constexpr int32_t kCompactMostMove = 127;
// The ranges of what an input may say; anything else is damage.
constexpr int64_t kMostPointer = 65536;
constexpr int64_t kMostButton = 255;
constexpr int64_t kMostKey = 65535;
constexpr int64_t kMostAxis = 255;
constexpr int64_t kMostHat = 15;
constexpr std::size_t kSmallestRecord = 2;

uint32_t zigzag(int32_t value) {
    return (static_cast<uint32_t>(value) << 1) ^ static_cast<uint32_t>(value >> 31);
}

int32_t unzigzag(uint32_t value) {
    return static_cast<int32_t>((value >> 1) ^ (~(value & 1u) + 1u));
}

void putVarint(std::string& out, uint32_t value) {
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

std::string hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool hasTwoValues(InputKind kind) {
    return kind == InputKind::JoyAxis || kind == InputKind::JoyHat;
}

bool hasNoValue(InputKind kind) {
    return kind == InputKind::FocusLost || kind == InputKind::FocusGained;
}

// The header, a line at a time; each read says whether the line was there as expected.
class HeaderReader {
public:
    HeaderReader(std::string_view bytes, std::string& why) : rest(bytes), why(why) {}

    // The next line, without its newline; none (and "cut short") when the bytes end first.
    std::optional<std::string_view> line() {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos || end > kMaxLine) {
            fail(end == std::string_view::npos && rest.size() <= kMaxLine ? "cut short"
                                                                          : "damaged: a header line is too long");
            return std::nullopt;
        }
        const std::string_view text = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        return text;
    }
    // The value of the line `key value`, which must come next.
    std::optional<std::string_view> value(std::string_view key) {
        const std::optional<std::string_view> text = line();
        if (!text)
            return std::nullopt;
        if (text->size() <= key.size() || text->substr(0, key.size()) != key || (*text)[key.size()] != ' ') {
            fail("damaged: no \"" + std::string(key) + "\" line where it belongs");
            return std::nullopt;
        }
        return text->substr(key.size() + 1);
    }
    // A decimal number from `low` to `high`, as the whole value of `key`.
    bool number(std::string_view key, int64_t low, int64_t high, int64_t& out) {
        const std::optional<std::string_view> text = value(key);
        return text && parse(key, *text, low, high, out);
    }
    bool parse(std::string_view key, std::string_view text, int64_t low, int64_t high, int64_t& out) {
        bool negative = !text.empty() && text[0] == '-';
        std::string_view digits = negative ? text.substr(1) : text;
        int64_t value = 0;
        bool ok = !digits.empty() && digits.size() <= 19;
        for (const char c : digits) {
            if (!ok || !std::isdigit(static_cast<unsigned char>(c))) {
                ok = false;
                break;
            }
            value = value * 10 + (c - '0');
            ok = value <= INT64_C(10000000000);
        }
        if (negative)
            value = -value;
        if (!ok || value < low || value > high) {
            fail("damaged: " + std::string(key) + " \"" + std::string(text) + "\" is no number it can be");
            return false;
        }
        out = value;
        return true;
    }
    void fail(const std::string& reason) {
        if (why.empty())
            why = reason;
    }
    std::string_view rest;

private:
    std::string& why;
};

bool plainToken(std::string_view text, std::size_t most) {
    if (text.empty() || text.size() > most)
        return false;
    for (const char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' && c != '_')
            return false;
    return true;
}

bool isDate(std::string_view text) {
    if (text == "-")
        return true;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != 4 && i != 7 && !std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

// The body's bytes; every read of them goes through `byte`.
class Body {
public:
    explicit Body(std::string_view bytes) : bytes(bytes) {}
    bool byte(uint8_t& out) {
        if (at >= bytes.size())
            return false;
        out = static_cast<uint8_t>(bytes[at++]);
        return true;
    }
    bool varint(uint32_t& out) {
        uint64_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint8_t b = 0;
            if (!byte(b))
                return false;
            value |= static_cast<uint64_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) {
                if (value > UINT32_MAX)
                    return false;
                out = static_cast<uint32_t>(value);
                return true;
            }
        }
        return false;
    }
    bool signedVarint(int32_t& out) {
        uint32_t raw = 0;
        if (!varint(raw))
            return false;
        out = unzigzag(raw);
        return true;
    }
    bool done() const { return at == bytes.size(); }

private:
    std::string_view bytes;
    std::size_t at = 0;
};

bool inRange(int64_t value, int64_t low, int64_t high) {
    return value >= low && value <= high;
}

// Whether an input's values are ones the game can have sent.
bool plausible(const RecordedInput& input) {
    switch (input.kind) {
    case InputKind::PointerX:
        return inRange(input.a, -kMostPointer, kMostPointer);
    case InputKind::ButtonDown:
    case InputKind::ButtonUp:
    case InputKind::JoyButtonDown:
    case InputKind::JoyButtonUp:
        return inRange(input.a, 0, kMostButton);
    case InputKind::KeyDown:
    case InputKind::KeyUp:
        return inRange(input.a, 0, kMostKey);
    case InputKind::FocusLost:
    case InputKind::FocusGained:
        return true;
    case InputKind::JoyAxis:
        return inRange(input.a, 0, kMostAxis) && inRange(input.b, INT16_MIN, INT16_MAX);
    case InputKind::JoyHat:
        return inRange(input.a, 0, kMostAxis) && inRange(input.b, 0, kMostHat);
    }
    return false;
}

} // namespace

std::string encodeRecording(const Recording& recording) {
    std::string body;
    uint32_t lastStep = 0;
    int32_t lastX = 0;
    for (const RecordedInput& input : recording.inputs) {
        const uint32_t steps = input.step - lastStep;
        lastStep = input.step;
        if (input.kind == InputKind::PointerX) {
            const int64_t move = static_cast<int64_t>(input.a) - lastX;
            lastX = input.a;
            if (steps <= kCompactMostSteps && move >= -kCompactMostMove - 1 && move <= kCompactMostMove) {
                body += static_cast<char>(kCompactPointer | steps);
                body += static_cast<char>(move + 128);
                continue;
            }
            body += static_cast<char>(input.kind);
            putVarint(body, steps);
            putVarint(body, zigzag(static_cast<int32_t>(move)));
            continue;
        }
        body += static_cast<char>(input.kind);
        putVarint(body, steps);
        if (!hasNoValue(input.kind))
            putVarint(body, zigzag(input.a));
        if (hasTwoValues(input.kind))
            putVarint(body, zigzag(input.b));
    }
    const RecordingHeader& h = recording.header;
    std::string text = std::string(kMagic) + " " + std::to_string(kRecordingFormat) + "\n";
    text += "game " + h.gameVersion + "\n";
    text += "data " + hex(h.dataFingerprint) + "\n";
    text += "seed " + std::to_string(h.seed) + "\n";
    text += "level " + std::to_string(h.startLevel) + "\n";
    text += std::string("continued ") + (h.continued ? "yes" : "no") + "\n";
    // A header with no date says so, as the reader expects.
    text += "date " + (h.date.empty() ? std::string("-") : h.date) + "\n";
    text += "rate " + std::to_string(h.stepRate) + "\n";
    text += "steps " + std::to_string(h.steps) + "\n";
    text += "score " + std::to_string(h.score) + "\n";
    text += "lives " + std::to_string(h.lives) + "\n";
    text += "reached " + std::to_string(h.reached) + "\n";
    text += "inputs " + std::to_string(recording.inputs.size()) + "\n";
    // The fingerprint covers the lines above as well: an edited header is as damaged as a body.
    text += "body " + std::to_string(body.size()) + " " + hex(hash::fnv1a64(body, hash::fnv1a64(text))) + "\n\n";
    return text + body;
}

std::optional<Recording> decodeRecording(std::string_view bytes, std::string& why) {
    why.clear();
    HeaderReader header(bytes, why);
    const std::optional<std::string_view> first = header.line();
    const std::string_view magic(kMagic);
    if (!first || first->size() <= magic.size() || first->substr(0, magic.size()) != magic ||
        (*first)[magic.size()] != ' ') {
        why = "not a Pellvane recording";
        return std::nullopt;
    }
    int64_t format = 0;
    if (!header.parse("format", first->substr(magic.size() + 1), 1, INT32_MAX, format))
        return std::nullopt;
    if (format > kRecordingFormat) {
        why = "written by a later version (format " + std::to_string(format) + ")";
        return std::nullopt;
    }
    Recording recording;
    RecordingHeader& h = recording.header;
    std::optional<std::string_view> text = header.value("game");
    if (!text)
        return std::nullopt;
    if (!plainToken(*text, 40)) {
        why = "damaged: the game version is no version";
        return std::nullopt;
    }
    h.gameVersion = std::string(*text);
    text = header.value("data");
    if (!text)
        return std::nullopt;
    if (text->size() != 16 || text->find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        why = "damaged: the data's fingerprint is no fingerprint";
        return std::nullopt;
    }
    h.dataFingerprint = std::stoull(std::string(*text), nullptr, 16);
    int64_t n = 0;
    if (!header.number("seed", 0, UINT32_MAX, n))
        return std::nullopt;
    h.seed = static_cast<uint32_t>(n);
    if (!header.number("level", 1, INT32_MAX, n))
        return std::nullopt;
    h.startLevel = static_cast<uint32_t>(n);
    text = header.value("continued");
    if (!text)
        return std::nullopt;
    if (*text != "yes" && *text != "no") {
        why = "damaged: continued is neither yes nor no";
        return std::nullopt;
    }
    h.continued = *text == "yes";
    text = header.value("date");
    if (!text)
        return std::nullopt;
    if (!isDate(*text)) {
        why = "damaged: the date is no date";
        return std::nullopt;
    }
    h.date = std::string(*text);
    if (!header.number("rate", 1, kMaxStepRate, n))
        return std::nullopt;
    h.stepRate = static_cast<uint32_t>(n);
    if (!header.number("steps", 0, kMaxRecordedSteps, n))
        return std::nullopt;
    h.steps = static_cast<uint32_t>(n);
    if (!header.number("score", INT32_MIN, INT32_MAX, n))
        return std::nullopt;
    h.score = static_cast<int32_t>(n);
    if (!header.number("lives", INT32_MIN, INT32_MAX, n))
        return std::nullopt;
    h.lives = static_cast<int32_t>(n);
    if (!header.number("reached", 0, INT32_MAX, n))
        return std::nullopt;
    h.reached = static_cast<int32_t>(n);
    int64_t inputs = 0;
    if (!header.number("inputs", 0, kMaxRecordedSteps, inputs))
        return std::nullopt;
    const std::string_view lines = bytes.substr(0, bytes.size() - header.rest.size());
    text = header.value("body");
    if (!text)
        return std::nullopt;
    const std::size_t space = text->find(' ');
    int64_t length = 0;
    if (space == std::string_view::npos) {
        why = "damaged: the body line has no fingerprint";
        return std::nullopt;
    }
    if (!header.parse("body", text->substr(0, space), 0, INT32_MAX, length))
        return std::nullopt;
    const std::string_view print = text->substr(space + 1);
    if (print.size() != 16 || print.find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        why = "damaged: the body's fingerprint is no fingerprint";
        return std::nullopt;
    }
    const std::optional<std::string_view> blank = header.line();
    if (!blank)
        return std::nullopt;
    if (!blank->empty()) {
        why = "damaged: no empty line after the header";
        return std::nullopt;
    }
    const std::string_view bodyBytes = header.rest;
    if (bodyBytes.size() < static_cast<uint64_t>(length)) {
        why = "cut short";
        return std::nullopt;
    }
    if (bodyBytes.size() > static_cast<uint64_t>(length)) {
        why = "damaged: bytes after the body";
        return std::nullopt;
    }
    if (hex(hash::fnv1a64(bodyBytes, hash::fnv1a64(lines))) != print) {
        why = "damaged: the header or the body does not match its fingerprint";
        return std::nullopt;
    }
    if (static_cast<uint64_t>(inputs) * kSmallestRecord > bodyBytes.size()) {
        why = "damaged: fewer bytes than its inputs need";
        return std::nullopt;
    }
    recording.inputs.reserve(static_cast<std::size_t>(inputs));
    Body body(bodyBytes);
    uint64_t step = 0;
    int64_t x = 0;
    for (int64_t i = 0; i < inputs; ++i) {
        RecordedInput input;
        uint8_t lead = 0;
        uint32_t steps = 0;
        bool ok = body.byte(lead);
        if (ok && (lead & kCompactPointer) != 0) {
            uint8_t move = 0;
            steps = lead & kCompactMostSteps;
            ok = body.byte(move);
            input.kind = InputKind::PointerX;
            x += static_cast<int64_t>(move) - 128;
        } else if (ok && lead >= 1 && lead <= kLastInputKind) {
            input.kind = static_cast<InputKind>(lead);
            ok = body.varint(steps);
            int32_t value = 0;
            if (ok && input.kind == InputKind::PointerX) {
                ok = body.signedVarint(value);
                x += value;
            } else if (ok && !hasNoValue(input.kind)) {
                ok = body.signedVarint(input.a);
                if (ok && hasTwoValues(input.kind))
                    ok = body.signedVarint(input.b);
            }
        } else {
            ok = false;
        }
        step += steps;
        if (input.kind == InputKind::PointerX)
            input.a = static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
        input.step = static_cast<uint32_t>(std::min<uint64_t>(step, UINT32_MAX));
        if (!ok || step > h.steps || !plausible(input) || !inRange(x, -kMostPointer, kMostPointer)) {
            why = "damaged: input " + std::to_string(i + 1) + " cannot be read";
            return std::nullopt;
        }
        recording.inputs.push_back(input);
    }
    if (!body.done()) {
        why = "damaged: bytes after the last input";
        return std::nullopt;
    }
    return recording;
}
