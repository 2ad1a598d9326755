// PellvaneGameScene's balls: the paddle's own and the extra ones a capsule brings, and what the
// loss of each means.
#include "game/PellvaneGameScene.h"

#include <algorithm>
#include <cmath>

#include "game/GameEvents.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvanePaddleEntity.h"

namespace {
// The angle between the balls a "multi" capsule makes, in radians.
constexpr float kExtraBallSpread = 0.45f;
} // namespace

std::vector<PellvaneBallEntity*> PellvaneGameScene::getBalls() const {
    std::vector<PellvaneBallEntity*> balls;
    PellvaneBallEntity* own = paddle != nullptr ? paddle->getBall() : nullptr;
    if (own != nullptr)
        balls.push_back(own);
    for (IEntity* entity : entities) {
        auto* ball = dynamic_cast<PellvaneBallEntity*>(entity);
        if (ball != nullptr && ball != own && ball->isActive())
            balls.push_back(ball);
    }
    return balls;
}

int PellvaneGameScene::getBallsInPlay() const {
    int count = 0;
    for (PellvaneBallEntity* ball : getBalls())
        count += ball->isActive() && !ball->isParked() ? 1 : 0;
    return count;
}

void PellvaneGameScene::spawnExtraBalls(int count) {
    PellvanePaddleEntity* own = getPaddle();
    PellvaneBallEntity* source = own != nullptr ? own->getBall() : nullptr;
    if (source == nullptr || source->isParked())
        return;
    // From the ball where it is, or from the paddle when it waits there: the new balls leave at
    // an angle either side of its way, at its speed.
    const Vector2 way = source->isHeld() ? source->getStartVelocity() : source->getVelocity();
    const int room = powerUpSettings.maxBalls - static_cast<int>(getBalls().size());
    for (int i = 0; i < std::min(count, room); ++i) {
        const float turn = (i % 2 == 0 ? 1.0f : -1.0f) * kExtraBallSpread * static_cast<float>(1 + i / 2);
        const float c = std::cos(turn);
        const float t = std::sin(turn);
        Vector2 velocity{way.x * c - way.y * t, way.x * t + way.y * c};
        if (velocity.y > 0.0f && source->isHeld())
            velocity.y = -velocity.y;
        std::unique_ptr<PellvaneBallEntity> twin = source->makeTwin(velocity);
        twin->limitAngle();
        addEntity(std::move(twin));
    }
}

void PellvaneGameScene::retireBall(PellvaneBallEntity& ball) {
    // Out of play at once (no longer counted, collided or drawn); destroyed at the end of the update.
    if (paddle != nullptr)
        paddle->forgetBall(&ball);
    ball.setEnabled(false);
    ball.setVisible(false);
    removeEntity(&ball, true);
}

void PellvaneGameScene::settleLostBalls() {
    // Settling one may retire another later in the list; each is looked at as it stands then.
    const std::vector<PellvaneBallEntity*> lost = std::move(lostBalls);
    lostBalls.clear();
    for (PellvaneBallEntity* ball : lost)
        settleLostBall(*ball);
}

void PellvaneGameScene::settleLostBall(PellvaneBallEntity& ball) {
    if (match.getState() == GameOver || !ball.isActive())
        return;
    PellvanePaddleEntity* own = getPaddle();
    PellvaneBallEntity* mainBall = own != nullptr ? own->getBall() : nullptr;
    if (&ball != mainBall && mainBall != nullptr) {
        // An extra ball: it leaves, whatever else is in play.
        retireBall(ball);
        raise(PELLVANE_EXTRA_BALL_LOST);
        return;
    }
    for (PellvaneBallEntity* other : getBalls()) {
        if (other == &ball || !other->isActive())
            continue;
        // The paddle's own ball carries on as this one did: to the player one of several is gone.
        ball.takeOver(*other);
        if (own != nullptr)
            own->handOver(*other);
        retireBall(*other);
        raise(PELLVANE_EXTRA_BALL_LOST);
        return;
    }
    ballLost();
}
