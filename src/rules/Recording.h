// A recorded game: the seed of its capsule draws, where it began, and every input that matters to
// play, stamped with the fixed step it came before; with the figures it ended on, so that a
// replay can prove it came out the same. Plain values and a byte format, no files: the game
// writes and reads them (game/Recordings.h), the fuzzer feeds the reader anything.
//
// The format is a few text lines a person can read in a bug report, then a binary body:
//
//     pellvane-recording 1
//     game 1.0.0
//     data 9f3c2b7d5e1a0c44
//     seed 3405691582
//     level 1
//     continued no
//     date 2026-12-08
//     rate 240
//     steps 864000
//     score 48210
//     lives -1
//     reached 12
//     inputs 51234
//     body 103112 5be1a6c3d2f40e19
//
// then an empty line and exactly `body` bytes. The hexadecimal number after the length is the FNV-1a
// fingerprint of the lines above the "body" line and then the body, so an edited header is refused
// as damaged, as an edited body is. Each input is one record: a pointer move whose step follows the last by at most 127
// steps and whose x moves by -128 to 127 is two bytes (0x80 | steps, x + 128); any other input is
// its kind's byte (below 0x80), the steps since the last input and its values, each a LEB128
// varint (signed values zigzag-coded). The pointer starts at x 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a player did, as far as play is concerned.
enum class InputKind : uint8_t {
    PointerX = 1,      // the pointer moved to x (`a`)
    ButtonDown = 2,    // mouse button `a` pressed
    ButtonUp = 3,      // mouse button `a` released
    KeyDown = 4,       // key `a` (the engine's key code) pressed
    KeyUp = 5,         // key `a` released
    FocusLost = 6,     // the window lost the focus (the game pauses)
    FocusGained = 7,   // and got it back
    JoyAxis = 8,       // joystick axis `a` moved to `b` (-32768 to 32767)
    JoyButtonDown = 9, // joystick button `a` pressed
    JoyButtonUp = 10,  // joystick button `a` released
    JoyHat = 11,       // joystick hat `a` now points `b` (SDL's hat bits)
};
inline constexpr int kLastInputKind = 11;

struct RecordedInput {
    uint32_t step = 0; // the fixed step it came before, counted from the game's start
    InputKind kind = InputKind::PointerX;
    int32_t a = 0;
    int32_t b = 0;

    bool operator==(const RecordedInput& other) const {
        return step == other.step && kind == other.kind && a == other.a && b == other.b;
    }
};

struct RecordingHeader {
    std::string gameVersion; // the program that recorded it; another one may play differently
    uint64_t dataFingerprint = 0;
    uint32_t seed = 0;       // the capsule draws' seed
    uint32_t startLevel = 1; // counted from 1
    bool continued = false;
    std::string date;        // YYYY-MM-DD, or "-"
    uint32_t stepRate = 240; // fixed steps a second
    uint32_t steps = 0;      // how many it lasted
    // How it ended, for the replay to prove itself.
    int32_t score = 0;
    int32_t lives = 0;
    int32_t reached = 0; // the level counter at the end
};

struct Recording {
    RecordingHeader header;
    std::vector<RecordedInput> inputs;
};

inline constexpr int kRecordingFormat = 1;
// Past these a file is no recording of ours: a day of play at the fastest rate, and inputs
// enough for every step of it.
inline constexpr uint32_t kMaxRecordedSteps = 24u * 3600u * 1000u;
inline constexpr uint32_t kMaxStepRate = 1000;

// The bytes of `recording`. Its inputs must be in step order, within the header's steps.
std::string encodeRecording(const Recording& recording);

// The recording in `bytes`, or none with `why` saying in a few words what is wrong ("not a
// Pellvane recording", "written by a later version (format 2)", "cut short", "damaged: ...").
// Whatever the bytes, it reads none past their end and allocates no more than they can fill.
std::optional<Recording> decodeRecording(std::string_view bytes, std::string& why);
