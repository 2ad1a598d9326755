// Game checks on the loaded scene: the same objects, positions and colliders the game plays with.
#include "check/GameChecks.h"

#include <algorithm>
#include <cmath>

#include "collision/AABBCollider.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneEventSoundEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"

namespace {
// Boxes that share only a border, or overlap by less than this many pixels, sit side by side.
constexpr float kOverlapTolerance = 0.01f;
// A ball turned back by the underside of a block reaches the paddle's top (gap / speed) seconds
// later; a player needs about this long to see it come and move the paddle under it. At the
// shipped ball's max_speed of 480 pixels per second that keeps the lowest blocks 96 pixels above
// the paddle.
constexpr float kReactionTime = 0.2f;

// The line the ball is played back from: the top of the highest paddle, and the fastest ball's
// max_speed before a level's "ball_speed". No line without a paddle and a ball.
struct PaddleLine {
    bool known = false;
    float top = 0.0f;
    float ballMaxSpeed = 0.0f;
};

std::string place(const Location& where) {
    return where.file + ":" + std::to_string(where.line) + ":" + std::to_string(where.column);
}

Rect boundsOf(PellvaneBlockEntity* block) {
    auto* box = dynamic_cast<AABBCollider*>(block->getCollider());
    return box != nullptr ? box->getBounds() : Rect{block->getPosition().x, block->getPosition().y, block->getSize().x, block->getSize().y};
}

bool inside(const Rect& box, const Rect& area) {
    return box.x >= area.x && box.y >= area.y && box.x + box.width <= area.x + area.width &&
           box.y + box.height <= area.y + area.height;
}

bool overlap(const Rect& a, const Rect& b) {
    const float across = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const float down = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return across > kOverlapTolerance && down > kOverlapTolerance;
}

const EntityOrigin* originOf(const EntityOrigins& origins, const IEntity* entity) {
    auto found = origins.find(entity);
    return found != origins.end() ? &found->second : nullptr;
}

bool breakable(PellvaneBlockEntity* block) {
    return block != nullptr && !block->isUnbreakable() && block->isInitiallyEnabled() &&
           block->getInitialHealth() >= 1;
}

void noteSounds(const PellvaneGameScene& scene, PellvaneBlockEntity* block, const Location& where,
                std::map<std::string, Location>& needed) {
    if (!block->isInitiallyEnabled())
        return; // never hit
    const BlockSounds& kinds = scene.getSettings().blockSounds;
    if (block->isUnbreakable()) {
        if (!kinds.unbreakable.empty())
            needed.emplace(kinds.unbreakable, where);
        return;
    }
    if (block->isExplosive() && !kinds.explosive.empty())
        needed.emplace(kinds.explosive, where);
    // A block of health h plays the sound of every health from h down to 1 on its way.
    const int sounding = static_cast<int>(std::min<std::size_t>(kinds.byHealth.size(), 1000));
    for (int health = std::min(block->getInitialHealth(), sounding); health >= 1; --health)
        if (const std::string* sound = kinds.hit(health))
            needed.emplace(*sound, where);
}

PaddleLine paddleLineOf(PellvaneGameScene& scene) {
    PaddleLine line;
    bool paddle = false, ball = false;
    for (IEntity* entity : scene.getEntities()) {
        if (auto* found = dynamic_cast<PellvanePaddleEntity*>(entity)) {
            auto* box = dynamic_cast<AABBCollider*>(found->getCollider());
            const float top = box != nullptr ? box->getBounds().y : found->getPosition().y;
            line.top = paddle ? std::min(line.top, top) : top;
            paddle = true;
        } else if (auto* found = dynamic_cast<PellvaneBallEntity*>(entity)) {
            line.ballMaxSpeed = ball ? std::max(line.ballMaxSpeed, found->maxSpeed) : found->maxSpeed;
            ball = true;
        }
    }
    line.known = paddle && ball;
    return line;
}

// A block nearer the paddle than the ball goes in kReactionTime at the level's top speed.
void checkRoomAbovePaddle(const Rect& box, const PaddleLine& line, float ballSpeed, const Location& where,
                          Findings& findings) {
    const float speed = line.ballMaxSpeed * ballSpeed;
    const float room = kReactionTime * speed;
    const float gap = line.top - (box.y + box.height);
    if (!line.known || gap >= room)
        return;
    const std::string ends = gap >= 0.0f ? formatNumber(gap) + " px above" : formatNumber(-gap) + " px below";
    findings.warning(where, "block ends " + ends + " the paddle's top: a ball it turns back at " + formatNumber(speed) +
                                " pixels per second reaches the paddle in less than " + formatNumber(kReactionTime) +
                                " s (keep " + formatNumber(room) + " px clear)");
}

void checkLevel(PellvaneGameScene& scene, std::size_t index, const LevelFile& level, const PaddleLine& line,
                const EntityOrigins& origins, Findings& findings, std::map<std::string, Location>& soundsNeeded) {
    const std::vector<IEntity*> entities = scene.getLevel(index);
    const float ballSpeed = scene.getLevelSettings(index).ballSpeed;
    const Rect area = scene.getGameArea();
    const bool clearable = std::any_of(entities.begin(), entities.end(),
                                       [](IEntity* e) { return breakable(dynamic_cast<PellvaneBlockEntity*>(e)); });
    if (!clearable)
        findings.warning(level.root, "no block of this level can break, so it is cleared at once or never");

    std::vector<std::pair<Rect, const EntityOrigin*>> placed;
    for (IEntity* entity : entities) {
        const EntityOrigin* origin = originOf(origins, entity);
        if (origin == nullptr)
            continue;
        auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
        // One finding for a level that cannot be cleared: the level's, or each entity's that holds it up.
        // An unbreakable block stands for ever but never holds its level open.
        const bool unbreakable = block != nullptr && block->isUnbreakable();
        if (clearable && entity->isActive() && !breakable(block) && !unbreakable) {
            if (block != nullptr)
                findings.warning(origin->where, "a block of health " + std::to_string(block->getInitialHealth()) +
                                                    " never breaks, so this level can never be cleared");
            else
                findings.warning(origin->where,
                                 "a " + origin->type + " stays active, so this level can never be cleared");
        }
        if (block == nullptr || !block->isInitiallyEnabled())
            continue;
        noteSounds(scene, block, origin->where, soundsNeeded);
        const Rect box = boundsOf(block);
        if (!inside(box, area))
            findings.warning(origin->where, "block at (" + formatNumber(box.x - area.x) + ", " +
                                                formatNumber(box.y - area.y) + "), " + formatNumber(box.width) + " x " +
                                                formatNumber(box.height) + ", reaches outside the game area (0, 0), " +
                                                formatNumber(area.width) + " x " + formatNumber(area.height));
        checkRoomAbovePaddle(box, line, ballSpeed, origin->where, findings);
        for (const auto& [other, otherOrigin] : placed) {
            if (overlap(box, other)) {
                findings.warning(origin->where, "block overlaps the block at " + place(otherOrigin->where));
                break;
            }
        }
        placed.emplace_back(box, origin);
    }
}

void checkPaddle(PellvaneGameScene& scene, PellvanePaddleEntity& paddle, const Location& where, Findings& findings) {
    const Rect area = scene.getGameArea();
    auto* box = dynamic_cast<AABBCollider*>(paddle.getCollider());
    const Rect bounds = box != nullptr ? box->getBounds() : Rect{};
    if (paddle.speed <= 0.0f)
        findings.warning(where, "paddle speed " + formatNumber(paddle.speed) + ": the paddle cannot move");
    else if (bounds.width > area.width)
        findings.warning(where, "the paddle is " + formatNumber(bounds.width) +
                                    " pixels wide, wider than the game area (" + formatNumber(area.width) +
                                    "): it cannot move");
    if (bounds.y > area.y + area.height)
        findings.warning(where, "the paddle lies below the game area (its top at y " + formatNumber(bounds.y) +
                                    ", the area ends at " + formatNumber(area.y + area.height) +
                                    "): the ball is lost before it reaches it");
    else if (bounds.y + bounds.height < area.y)
        findings.warning(where, "the paddle lies above the game area (its bottom at y " +
                                    formatNumber(bounds.y + bounds.height) + ", the area starts at " +
                                    formatNumber(area.y) + ")");
}

void checkBall(PellvaneBallEntity& ball, const Location& where, Findings& findings) {
    const float speed = std::hypot(ball.startVelocity.x, ball.startVelocity.y);
    if (ball.minSpeed > ball.maxSpeed)
        findings.warning(where, "min_speed " + formatNumber(ball.minSpeed) + " is above max_speed " +
                                    formatNumber(ball.maxSpeed) + ": the ball always moves at max_speed");
    else if (speed > ball.maxSpeed)
        findings.warning(where, "the ball starts at " + formatNumber(speed) +
                                    " pixels per second, faster than its max_speed " + formatNumber(ball.maxSpeed) +
                                    ": it is slowed at once");
    else if (speed < ball.minSpeed)
        findings.warning(where, "the ball starts at " + formatNumber(speed) +
                                    " pixels per second, slower than its min_speed " + formatNumber(ball.minSpeed) +
                                    ": it is sped up at once");
}
} // namespace

void checkGameScene(PellvaneGameScene& scene, const std::vector<LevelFile>& levels, const EntityOrigins& origins,
                    Findings& findings, std::map<std::string, Location>& soundsNeeded) {
    const PaddleLine line = paddleLineOf(scene);
    for (std::size_t i = 0; i < scene.getLevelCount() && i < levels.size(); ++i)
        if (levels[i].loaded)
            checkLevel(scene, i, levels[i], line, origins, findings, soundsNeeded);

    std::vector<std::pair<PellvanePaddleEntity*, const EntityOrigin*>> paddles;
    PellvaneBallEntity* ball = nullptr;
    for (IEntity* entity : scene.getEntities()) {
        const EntityOrigin* origin = originOf(origins, entity);
        if (origin == nullptr)
            continue;
        if (auto* paddle = dynamic_cast<PellvanePaddleEntity*>(entity)) {
            checkPaddle(scene, *paddle, origin->where, findings);
            paddles.emplace_back(paddle, origin);
        } else if (auto* found = dynamic_cast<PellvaneBallEntity*>(entity)) {
            checkBall(*found, origin->where, findings);
            ball = found;
        } else if (auto* block = dynamic_cast<PellvaneBlockEntity*>(entity)) {
            noteSounds(scene, block, origin->where, soundsNeeded);
        }
    }
    // Effects played on events, wherever their entity sits (groups included).
    for (const auto& loaded : origins)
        if (const auto* sound = dynamic_cast<const PellvaneEventSoundEntity*>(loaded.first))
            soundsNeeded.emplace(sound->getSound(), loaded.second.where);
    for (const auto& [paddle, origin] : paddles)
        if (ball != nullptr && paddle->ballHeight < ball->radius)
            findings.warning(origin->where, "ball_height " + formatNumber(paddle->ballHeight) +
                                                " is less than the ball's radius " + formatNumber(ball->radius) +
                                                ": the held ball overlaps the paddle");
}
