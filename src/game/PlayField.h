// What the game's entities see of the game they are in, and the few things they tell it. The game
// scene is the one play field; an entity finds it through its scene (playFieldOf) and never knows
// the scene's class, so the entities and the scene do not depend on each other both ways.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Colour.h"
#include "collision/Rect.h"
#include "game/GameServices.h"
#include "game/GameSettings.h"
#include "game/PowerUps.h"
#include "rules/Flight.h"
#include "rules/Match.h"

class EventDispatcher;
class HighScoreKeeper;
class IEntity;
class IScene;
class PellvaneBallEntity;

// A block that broke, as the game needs to know it: its points (before the chain's multiplier),
// where a capsule it releases starts, on which layer, and the capsule it names.
struct BrokenBlock {
    int points = 0;
    Vector2 centre;
    int32_t layer = 0;
    std::optional<PowerUp> capsule;
};

class IPlayField {
public:
    // What the game is and where it stands.
    virtual Rect getGameArea() const = 0;
    virtual const std::vector<Colour>& getBlockColours() const = 0;
    virtual const GameSettings& getSettings() const = 0;
    virtual const Match& getMatch() const = 0;
    virtual bool isPaused() const = 0;
    virtual const GameServices& getServices() const = 0;
    virtual const PowerUpLook& getPowerUpLook(PowerUp kind) const = 0;
    // The paddle's box, for what falls onto it; none without a paddle.
    virtual std::optional<Rect> getPaddleBounds() const = 0;
    // The blocks still standing and the metal, for a ball's turn after a long flight.
    virtual flight::StallField getStallField() const = 0;
    // Whether `entity` takes part now: one of a level file only while that level is played.
    virtual bool takesPart(const IEntity* entity) const = 0;
    // The high-score table, the initials being entered and where CONTINUE starts.
    virtual const HighScoreKeeper& getHighScores() const = 0;

    // Where the game's named events travel (GameEvents.h): entities listen there.
    virtual EventDispatcher& getGameEvents() = 0;

    // What the entities tell the game.
    virtual void raise(const std::string& event) = 0;
    // An event that happened at `at` (window pixels), which it carries to those who hear it.
    virtual void raiseAt(const std::string& event, const Vector2& at) = 0;
    virtual void blockBroken(const BrokenBlock& block) = 0;
    // A ball bounced off the paddle or left it: a chain of blocks in a row ends.
    virtual void paddleTouched() = 0;
    // A ball left the game area through the bottom. The game settles it once every ball has moved
    // this frame, so a ball that carries on in its place loses no move.
    virtual void ballLost(PellvaneBallEntity& ball) = 0;
    virtual void capsuleCaught(PowerUp kind) = 0;
    // The player fired the paddle's guns: a volley leaves if the rules allow one now.
    virtual void fireGuns() = 0;
    // The new-game button was clicked.
    virtual void newGame() = 0;
    // The continue button was clicked: a new game at the highest level reached.
    virtual void continueGame() = 0;

protected:
    ~IPlayField() = default;
};

// The play field an entity's scene is; throws EntityException with `source` when the scene is no
// game (the game's entities need its rules and its game area).
IPlayField& playFieldOf(IScene* scene, const char* source);
