// The six exception classes every data or misuse error is reported with.
// They carry only text; the one handler, at start-up, prints `message`.
#pragma once

#include <string>

class BaseException {
public:
    BaseException() = default;
    explicit BaseException(const std::string& text) : message("Exception: " + text) {}

    std::string message;
    // The attribute of the element being read that the error is about, when there is one: the
    // data checker reports the error there.
    std::string attribute;
};

// The five subsystem classes differ only in the prefix of the message, so they share one template.
template <const char* Prefix> class SourcedException : public BaseException {
public:
    SourcedException(const std::string& source, const std::string& text) : source(source) {
        message = std::string(Prefix) + source + ": " + text;
    }

    std::string source;
};

inline constexpr char kEntityExceptionPrefix[] = "Entity Exception: ";
inline constexpr char kSceneExceptionPrefix[] = "Scene Exception: ";
inline constexpr char kSoundExceptionPrefix[] = "Sound Exception: ";
inline constexpr char kSpriteExceptionPrefix[] = "Sprite Exception: ";
inline constexpr char kResourceExceptionPrefix[] = "Resource Exception: ";

using EntityException = SourcedException<kEntityExceptionPrefix>;
using SceneException = SourcedException<kSceneExceptionPrefix>;
using SoundException = SourcedException<kSoundExceptionPrefix>;
using SpriteException = SourcedException<kSpriteExceptionPrefix>;
using ResourceException = SourcedException<kResourceExceptionPrefix>;
