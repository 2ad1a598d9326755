// NumberCounterEntity: reading the element, counting towards the target, and laying out the
// digits one sprite after another.
#include "scene/NumberCounterEntity.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "base/XmlAttributes.h"
#include "graphics/Matrix3.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteManager.h"
#include "scene/LoadObserver.h"
#include "scene/SceneContext.h"
#include "scene/SpriteEntity.h"

namespace {

const char* const kSource = "NumberCounterEntity";

// The value truncated toward zero. The value lies between two 32-bit integers (start, target
// and the steps between them), but a float near the limits rounds past them, so clamp rather
// than convert out of range.
int64_t truncated(double value) {
    if (!(value == value))
        return 0;
    const double low = std::numeric_limits<int32_t>::min();
    const double high = std::numeric_limits<int32_t>::max();
    if (value < low)
        return static_cast<int64_t>(low);
    if (value > high)
        return static_cast<int64_t>(high);
    return static_cast<int64_t>(std::trunc(value));
}

} // namespace

void NumberCounterEntity::load(const TiXmlHandle& handle, IScene* owner) {
    scene = owner;
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "XmlHandle is invalid or for a different scene");
    using namespace spritesettings;
    using namespace countersettings;
    int layerValue = layer;
    int fixedValue = fixedDigits;
    int startValue = start;
    int targetValue = target;
    SettingReader<EntityException> read(element, kSource, loadObserverOf(owner));
    read(kEnabled, enabled)(kVisible, visible)(kX, position.x)(kY, position.y)(kScaleX, scale.x)(kScaleY, scale.y);
    read(kLayer, layerValue)(kFixed, fixedValue)(kStart, startValue)(kTarget, targetValue)(kRate, rate);
    read(kCountTime, countTime)(kDigitSpacing, digitSpacing)(kColour, colour);
    initialEnabled = enabled;
    initialVisible = visible;
    layer = layerValue;
    fixedDigits = fixedValue;
    start = startValue;
    target = targetValue;

    SpriteManager* sprites = contextOf(owner).sprites;
    for (int d = 0; d < 10; ++d) {
        digits[d] = sprites != nullptr ? sprites->getSprite(std::to_string(d)) : nullptr;
        if (digits[d] == nullptr)
            throw EntityException(kSource, "Number sprite not defined!");
    }
    value = static_cast<float>(start);
}

void NumberCounterEntity::update(float dt) {
    if (truncated(value) == target)
        return;
    const float direction = truncated(static_cast<double>(target) - value) >= 0 ? 1.0f : -1.0f;
    float speed = rate;
    if (countTime > 0.0f) {
        // However far a new target is, it is reached within "count_time": the pace is set when
        // the target changes, so the count keeps one speed on its way.
        if (!paced || target != pacedTarget) {
            paced = true;
            pacedTarget = target;
            pace = static_cast<float>(std::fabs(static_cast<double>(target) - value)) / countTime;
        }
        speed = std::max(rate, pace);
    }
    value += speed * dt * direction;
    // Stop exactly on the target instead of overshooting it.
    if ((direction > 0 && value > target) || (direction < 0 && value < target))
        value = static_cast<float>(target);
}

std::string NumberCounterEntity::getDisplayText() const {
    std::string text = std::to_string(truncated(value));
    std::size_t n = fixedDigits > 0 ? static_cast<std::size_t>(fixedDigits) : text.size();
    if (n > static_cast<std::size_t>(kMaxDigits))
        n = kMaxDigits;
    if (text.size() > n)
        return std::string(n, '9');
    return std::string(n - text.size(), '0') + text;
}

void NumberCounterEntity::render(SpriteBatch* batch) {
    const std::string text = getDisplayText();
    Vector2 cursor = position;
    for (char c : text) {
        const int d = (c >= '0' && c <= '9') ? c - '0' : 0;
        Sprite* digit = digits[d];
        if (digit == nullptr)
            return; // not loaded: nothing to draw with
        const Matrix3 transform = Matrix3::translation(cursor.x, cursor.y) * Matrix3::scaling(scale.x, scale.y);
        digit->renderFrame(batch, transform, colour, 0, false, false);
        cursor.x += static_cast<float>(digit->getFrame(0).getWidth()) * scale.x + digitSpacing;
    }
}

void NumberCounterEntity::reset() {
    value = static_cast<float>(start);
    paced = false;
    enabled = initialEnabled;
    visible = initialVisible;
}

IRenderable* NumberCounterEntity::getRenderable() {
    return digits[0];
}
