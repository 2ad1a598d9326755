// The kinds of power-up, one row each: the name data uses, what catching its capsule does, what it
// changes while it lasts, and its row on the timers display. Every list of kinds, every message
// that names them and every switch over them is built from this table, so a new kind is a row here
// and its own behaviour where its change is applied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class PowerUp : int32_t { Wide = 0, Narrow, Multi, Slow, Sticky, Life, Laser };

// What a caught capsule does at once.
enum class CatchAction {
    Timed,      // its change lasts the kind's duration (a new catch starts the time again)
    ExtraBalls, // more balls leave from the paddle's ball
    ExtraLife,  // one more ball in reserve
};

// What a timed kind changes while it lasts.
enum class Change {
    None,
    PaddleWidth, // the paddle is the kind's factor times as wide
    BallSpeed,   // every speed of the balls times the kind's factor
    Sticky,      // a ball landing on the paddle stays there until the next launch
    Guns,        // the paddle carries guns: a launch press with no ball to launch fires a volley
};

struct PowerUpKind {
    PowerUp id;
    const char* name;
    CatchAction action;
    Change change;
    // A timed kind whose catch ends this one (a wide paddle ends a narrow one and the reverse).
    std::optional<PowerUp> ends;
    // The timers display shows the timed kinds in this order, from the top.
    int hudRow;
};

inline constexpr PowerUpKind kPowerUpKinds[] = {
    {PowerUp::Wide, "wide", CatchAction::Timed, Change::PaddleWidth, PowerUp::Narrow, 0},
    {PowerUp::Narrow, "narrow", CatchAction::Timed, Change::PaddleWidth, PowerUp::Wide, 1},
    {PowerUp::Multi, "multi", CatchAction::ExtraBalls, Change::None, std::nullopt, -1},
    {PowerUp::Slow, "slow", CatchAction::Timed, Change::BallSpeed, std::nullopt, 2},
    {PowerUp::Sticky, "sticky", CatchAction::Timed, Change::Sticky, std::nullopt, 3},
    {PowerUp::Life, "life", CatchAction::ExtraLife, Change::None, std::nullopt, -1},
    {PowerUp::Laser, "laser", CatchAction::Timed, Change::Guns, std::nullopt, 4},
};
inline constexpr std::size_t kPowerUpCount = sizeof kPowerUpKinds / sizeof kPowerUpKinds[0];

// Each row sits at its kind's number, so a kind finds its row by index.
constexpr bool rowsInOrder() {
    for (std::size_t i = 0; i < kPowerUpCount; ++i)
        if (static_cast<std::size_t>(kPowerUpKinds[i].id) != i)
            return false;
    return true;
}
static_assert(rowsInOrder(), "each row of kPowerUpKinds must sit at its kind's number");

constexpr const PowerUpKind& kindOf(PowerUp kind) {
    return kPowerUpKinds[static_cast<std::size_t>(kind)];
}
constexpr bool isTimed(PowerUp kind) {
    return kindOf(kind).action == CatchAction::Timed;
}
inline const char* powerUpName(PowerUp kind) {
    return kindOf(kind).name;
}
std::optional<PowerUp> powerUpNamed(std::string_view name);
// "wide, narrow, multi, slow, sticky, life or laser", for messages.
std::string powerUpNameList();
// The timed kinds in the order of their rows on the timers display.
std::vector<PowerUp> timedKindsInRowOrder();
// The message for a name that is no kind: Unknown power-up kind "NAME" (LIST)!
std::string unknownPowerUp(const std::string& name);
