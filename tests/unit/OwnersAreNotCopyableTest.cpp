// Every class that owns something through a plain pointer or a raw resource handle refuses to be
// copied: a copy would share what it owns and free it twice. Checked at compile time: a class
// that becomes copyable again breaks the test build.
#include <type_traits>

#include "app/Game.h"
#include "events/EventDispatcher.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"
#include "game/StartNewGameButtonEntity.h"
#include "graphics/Inflate.h"
#include "graphics/SpriteBatch.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"
#include "scene/BoxEntity.h"
#include "scene/FadeEntity.h"
#include "scene/GroupEntity.h"
#include "sound/SoundManager.h"

namespace {

template <class T> constexpr bool kNotCopyable = !std::is_copy_constructible_v<T> && !std::is_copy_assignable_v<T>;

static_assert(kNotCopyable<BoxEntity>, "owns its collider");
static_assert(kNotCopyable<PellvaneBlockEntity>, "a box");
static_assert(kNotCopyable<PellvanePaddleEntity>, "owns its callbacks");
static_assert(kNotCopyable<PellvaneBallEntity>, "owns its collider");
static_assert(kNotCopyable<FadeEntity>, "owns its callback");
static_assert(kNotCopyable<StartNewGameButtonEntity>, "owns its callback");
static_assert(kNotCopyable<GroupEntity>, "owns its children");
static_assert(kNotCopyable<BaseScene>, "owns its entities");
static_assert(kNotCopyable<PellvaneGameScene>, "owns its levels");
static_assert(kNotCopyable<Game>, "owns its managers and scenes");
static_assert(kNotCopyable<EventDispatcher>, "its registrations point at live callbacks");
static_assert(kNotCopyable<SoundManager>, "owns the mixer's samples");
static_assert(kNotCopyable<TextureCache>, "owns GL textures");
static_assert(kNotCopyable<SpriteBatch>, "owns GL buffers");
static_assert(kNotCopyable<Inflater>, "owns its tables");

} // namespace
