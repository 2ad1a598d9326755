// The checker's run: the game's own configuration step with the checker as its observer, so that
// one mistake does not hide the next, then the schema walk and the checks of the loaded game.
#include "check/Checker.h"

#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/XmlAttributes.h"
#include "check/GameChecks.h"
#include "check/SchemaCheck.h"
#include "collision/AABBCollider.h"
#include "game/Configuration.h"
#include "game/GameWorld.h"
#include "game/PellvaneGameScene.h"
#include "game/Recordings.h"
#include "graphics/IconImage.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"
#include "scene/SpriteEntity.h"
#include "sound/AudioDevice.h"

namespace fs = std::filesystem;

namespace {
// Sprites that a counter draws: the digits.
const char* const kDigitSprites[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
// Texts of loader messages the checker places more exactly than at the element that failed.
const char* const kColourPrefix = "either RGB or RGBA:";
const char* const kSpriteNotFound = "not found in sprite manager!";
const char* const kNumberSpriteMissing = "Number sprite not defined!";
const char* const kBadRegion = "TextureRegion supplied with invalid dimensions!";
const char* const kSingleFramePrefix = "Attribute query failed on single frame ";
const char* const kFramePrefix = "Attribute query failed on ";
const char* const kOnFrame = " on frame: ";
const char* const kNoBall = "No ball found in scene!";
const char* const kTwoBalls = "More than one ball at initiation";
const char* const kNoEntities = "No entities element or entities defined!";
const char* const kNoLevels = "No levels defined!";
const char* const kLevelFailed = "Level file failed to load: ";
const char* const kResourcePrefix = "Resource Exception: ";
const char* const kSoundPrefix = "Sound Exception: ";
const char* const kNoSound = ": No sound with that ID to play!";
const char* const kNoMusic = ": No music with that ID to play!";

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The first attribute, of the element or a descendant, whose text is `value`.
bool findAttributeWithValue(const TiXmlElement* element, const std::string& value, Location& where) {
    for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
        if (a->ValueStr() == value) {
            where = locationOf(element, a->Name());
            return true;
        }
    }
    for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement())
        if (findAttributeWithValue(child, value, where))
            return true;
    return false;
}

// The frame of a sprite element that does not fit a texture of that size, as TextureRegion tests it.
const TiXmlElement* frameOutside(const TiXmlElement* sprite, uint32_t width, uint32_t height) {
    for (const TiXmlElement* f = sprite->FirstChildElement("frame"); f != nullptr; f = f->NextSiblingElement("frame")) {
        int rect[4] = {};
        const char* names[] = {"x", "y", "width", "height"};
        for (int i = 0; i < 4; ++i)
            xml::readInt(f, names[i], rect[i]);
        if (uint32_t(rect[0]) + uint32_t(rect[2]) > width || uint32_t(rect[1]) + uint32_t(rect[3]) > height)
            return f;
    }
    return nullptr;
}

// A size of a colliding box that the game does not mean: a negative one is nonsense (the collider
// takes the box as spanning back from its position), one of 0 draws nothing yet still collides,
// as a line or a point. At the attribute that gives the size, or the element when the sprite does.
void checkBoxSize(const TiXmlElement* element, IEntity* entity, Findings& findings) {
    auto* sprite = dynamic_cast<SpriteEntity*>(entity);
    if (sprite == nullptr || dynamic_cast<AABBCollider*>(entity->getCollider()) == nullptr)
        return;
    const std::pair<const char*, float> sizes[] = {{"width", sprite->getSize().x}, {"height", sprite->getSize().y}};
    for (const auto& [name, size] : sizes) {
        const std::string what = element->ValueStr() + " " + name + " " + formatNumber(size);
        if (size < 0.0f)
            findings.error(locationOf(element, name), what + ": a colliding box cannot have a negative size");
        else if (size == 0.0f)
            findings.warning(locationOf(element, name), what + ": the box is drawn as nothing but still collides");
    }
}

// Where TinyXML stopped in a file that exists but does not parse, with its reason.
bool parseErrorOf(const std::string& path, Location& where, std::string& reason) {
    std::error_code ignored;
    if (!fs::is_regular_file(path, ignored))
        return false;
    TiXmlDocument document;
    if (document.LoadFile(path.c_str()))
        return false;
    where = {path, document.ErrorRow(), document.ErrorCol()};
    reason = document.ErrorDesc();
    return true;
}

class DataChecker final : public ConfigurationObserver {
public:
    DataChecker(GameWorld& game, Findings& findings) : game(game), findings(findings), schema(game.getRegistry(), findings, usage) {}

    void run();

    void failed(const TiXmlElement* element, const BaseException& error) override {
        // A setting out of its range names its attribute: the mistake is there.
        if (!error.attribute.empty() && element != nullptr)
            findings.error(locationOf(element, error.attribute.c_str()), error.message);
        else
            report(element, error.message);
    }
    void loaded(const TiXmlElement* element, IEntity* entity) override {
        origins[entity] = {locationOf(element), element->ValueStr()};
        checkBoxSize(element, entity, findings);
    }
    void unitFailed(ConfigUnit unit, const TiXmlElement* element, const char* attribute,
                    const std::string& message) override;
    void fileNamed(ConfigUnit unit, const std::string& path, const TiXmlElement* element,
                   const char* attribute) override;
    void sceneMade(const TiXmlElement* element, IScene* scene) override;
    void sceneLoaded(const TiXmlElement* element, IScene* scene) override;

private:
    struct Named {
        std::string name;
        Location where;
    };

    // A loader's error about `element`, placed as exactly as its message allows.
    void report(const TiXmlElement* element, const std::string& message);
    void checkSpriteElements(const TiXmlElement* config);
    void checkDefaultScene(const TiXmlElement* config);
    // The level files of a game scene; with `scene` each is walked against the table too.
    std::vector<LevelFile> walkLevels(const TiXmlElement* sceneElement, BaseScene* scene);
    void walkSpriteSet(const std::string& file);
    void walkSoundSet(const std::string& file);
    void noteSprite(const TiXmlElement* element);
    // A file-wide error: at the place a file does not parse (with TinyXML's reason as a note),
    // otherwise at `fallback`, the place that names the file.
    void fileError(const std::string& path, const std::string& message, const Location& fallback);
    Location locate(const TiXmlElement* element, const std::string& message) const;
    void checkUse();
    void checkImages();
    void checkWindowIcon();

    GameWorld& game;
    Findings& findings;
    DataUsage usage;
    SchemaCheck schema;
    EntityOrigins origins;
    std::vector<Named> sprites;
    std::vector<Named> sceneIds;
    std::vector<Named> effects;
    std::vector<Named> tracks;
    Location soundSetRoot;
    // Sounds the game plays that only the checker finds missing, with the first place that plays each.
    std::map<std::string, Location> soundsNeeded;
    // Sounds caught capsules play, which the game's own loading finds missing.
    std::set<std::string> capsuleSounds;
    // Tracks the levels of the game scenes name, besides the one the game starts with.
    std::set<std::string> levelTracks;
    // Every texture a sprite names: one that fails to load is reported there, not as unused.
    std::set<std::string> texturesNamed;
    // The sprites come from a sprite set file, not from <sprite> elements of config.xml.
    bool spriteSetNamed = false;
    // The sprite set as a whole failed: entities that name a sprite fail too, for no fault of theirs.
    bool spritesFailed = false;
};

void DataChecker::run() {
    findings.fileLoaded(kConfigFile);
    TiXmlDocument document;
    configureGame(game, document, this);
    const TiXmlElement* config = document.FirstChildElement("config");
    if (config == nullptr)
        return;
    checkSpriteElements(config);
    checkDefaultScene(config);
    schema.walk(config, *findRule(game.getRegistry(), "config"), nullptr);
    checkUse();
    checkImages();
    checkWindowIcon();
}

void DataChecker::unitFailed(ConfigUnit unit, const TiXmlElement* element, const char* attribute,
                             const std::string& message) {
    const Location where = element == nullptr     ? Location{kConfigFile, 0, 0}
                           : attribute != nullptr ? locationOf(element, attribute)
                                                  : locationOf(element);
    switch (unit) {
    case ConfigUnit::File:
        fileError(kConfigFile, message, where);
        return;
    case ConfigUnit::Scene:
        report(element, message);
        return;
    case ConfigUnit::Music:
        // Where the sound set's tracks are listed, or the attribute that names the sound set.
        findings.error(soundSetRoot, message);
        return;
    case ConfigUnit::SpriteSet:
        spritesFailed = true;
        [[fallthrough]];
    case ConfigUnit::SoundSet:
        // A set file that failed as a whole (without `attribute` no file is named).
        if (attribute != nullptr) {
            fileError(element->Attribute(attribute), message, where);
            return;
        }
        break;
    default:
        break;
    }
    findings.error(where, message);
}

void DataChecker::fileNamed(ConfigUnit unit, const std::string& path, const TiXmlElement* element,
                            const char* attribute) {
    findings.fileLoaded(path);
    if (unit == ConfigUnit::SpriteSet) {
        spriteSetNamed = true;
        walkSpriteSet(path);
    } else if (unit == ConfigUnit::SoundSet) {
        soundSetRoot = locationOf(element, attribute);
        walkSoundSet(path);
    }
}

void DataChecker::sceneMade(const TiXmlElement* element, IScene* scene) {
    if (scene == nullptr) {
        findings.warning(locationOf(element), "unknown scene type '" + element->ValueStr() + "' is skipped" +
                                                  suggest(element->ValueStr(), game.getRegistry().sceneTypes()));
        return;
    }
    // Level files are read inside the scene's load: name them first so they are listed in that order.
    if (dynamic_cast<PellvaneGameScene*>(scene) != nullptr)
        walkLevels(element, nullptr);
}

void DataChecker::sceneLoaded(const TiXmlElement* element, IScene* made) {
    auto* scene = dynamic_cast<BaseScene*>(made);
    if (const ElementRule* rule = sceneRule(game.getRegistry(), element->ValueStr()))
        schema.walk(element, *rule, scene);
    if (auto* gameScene = dynamic_cast<PellvaneGameScene*>(made)) {
        checkGameScene(*gameScene, walkLevels(element, scene), origins, findings, soundsNeeded);
        // Any change to config.xml or a level file leaves the demo behind: the title would play none.
        const std::string& demo = gameScene->getSettings().demo;
        std::string why;
        if (!demo.empty() && !gameScene->playable(demo, why))
            findings.warning(locationOf(element, "demo"), "the demo '" + demo + "' cannot be played: " + why +
                                                              "; the title plays none (./run.sh demo records it again)");
        for (std::size_t level = 0; level < gameScene->getLevelCount(); ++level)
            levelTracks.insert(gameScene->getLevelMusic(level));
        // A caught capsule plays its kind's sound; the game's loader reports one that is missing.
        if (const TiXmlElement* powerUps = element->FirstChildElement("power_ups")) {
            for (const TiXmlElement* kind = powerUps->FirstChildElement("power_up"); kind != nullptr;
                 kind = kind->NextSiblingElement("power_up")) {
                std::string sound;
                if (xml::readText(kind, "sound", sound) && !sound.empty())
                    capsuleSounds.insert(sound);
            }
        }
    }
    const std::string id = made->getId();
    auto same = std::find_if(sceneIds.begin(), sceneIds.end(), [&](const Named& n) { return n.name == id; });
    if (!id.empty() && same != sceneIds.end())
        findings.warning(locationOf(element, "id"), "another scene has the id '" + id + "' (" + same->where.file + ":" +
                                                        std::to_string(same->where.line) + ")");
    sceneIds.push_back({id, locationOf(element)});
}

void DataChecker::checkSpriteElements(const TiXmlElement* config) {
    const TiXmlElement* firstSprite = config->FirstChildElement("sprite");
    if (firstSprite == nullptr)
        return;
    if (spriteSetNamed) {
        findings.warning(locationOf(firstSprite), "the <sprite> elements of <config> are ignored: the sprites "
                                                  "come from the spriteset file");
        return;
    }
    for (const TiXmlElement* e = firstSprite; e != nullptr; e = e->NextSiblingElement("sprite"))
        noteSprite(e);
}

void DataChecker::checkDefaultScene(const TiXmlElement* config) {
    // The scene the game's step chose: another than `default` names means no scene has that id.
    const TiXmlElement* list = config->FirstChildElement("scenes");
    IScene* current = game.getCurrentScene();
    std::string defaultId;
    if (list != nullptr && current != nullptr && xml::readText(list, "default", defaultId) &&
        current->getId() != defaultId)
        findings.warning(locationOf(list, "default"),
                         "no scene has the id '" + defaultId + "': the first scene, '" + current->getId() + "', runs");
}

std::vector<LevelFile> DataChecker::walkLevels(const TiXmlElement* sceneElement, BaseScene* scene) {
    std::vector<LevelFile> levels;
    const TiXmlElement* list = sceneElement->FirstChildElement("levels");
    if (list == nullptr)
        return levels;
    std::string directory;
    const bool hasDirectory = xml::readText(list, "directory", directory);
    for (const TiXmlElement* level = list->FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level")) {
        LevelFile file;
        // The file name as the game scene reads it, comments and all.
        std::string name;
        if (xml::readElementText(level, name))
            file.path = hasDirectory ? directory + "/" + name : name;
        TiXmlDocument document;
        const TiXmlElement* root = nullptr;
        if (!file.path.empty()) {
            findings.fileLoaded(file.path);
            if (xml::loadDocument(document, file.path))
                root = document.FirstChildElement("level");
        }
        if (root != nullptr && root->FirstChild() != nullptr) {
            file.root = locationOf(root);
            file.loaded = true;
            if (scene != nullptr)
                schema.walk(root, *findRule(game.getRegistry(), "level"), scene);
        }
        levels.push_back(file);
    }
    return levels;
}

void DataChecker::walkSpriteSet(const std::string& file) {
    TiXmlDocument document;
    if (!xml::loadDocument(document, file))
        return;
    // The container is found as the sprite manager finds it; other top-level elements are not read.
    const TiXmlElement* container = document.FirstChildElement();
    while (container != nullptr && container->FirstChildElement("sprite") == nullptr)
        container = container->NextSiblingElement();
    if (container == nullptr)
        return;
    for (const TiXmlElement* e = container->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        if (e->ValueStr() != "sprite") {
            findings.warning(locationOf(e), "unknown element <" + e->ValueStr() + "> in <" + container->ValueStr() +
                                                "> is ignored" + suggest(e->ValueStr(), {"sprite"}));
            continue;
        }
        schema.walk(e, *findRule(game.getRegistry(), "sprite"), nullptr);
        noteSprite(e);
    }
}

void DataChecker::noteSprite(const TiXmlElement* element) {
    if (const char* texture = element->Attribute("texture"))
        texturesNamed.insert(texture);
    const char* id = element->Attribute("id");
    if (id == nullptr)
        return;
    auto first = std::find_if(sprites.begin(), sprites.end(), [&](const Named& n) { return n.name == id; });
    if (first != sprites.end()) {
        findings.warning(locationOf(element, "id"),
                         std::string("another sprite with the id '") + id + "' comes first (" + first->where.file +
                             ":" + std::to_string(first->where.line) + "); this one is never used");
        return;
    }
    sprites.push_back({id, locationOf(element)});
    // A sprite that names only some of x, y, width and height is read from its frames.
    const char* rect[] = {"x", "y", "width", "height"};
    const int given = static_cast<int>(
        std::count_if(std::begin(rect), std::end(rect), [&](const char* name) { return element->Attribute(name); }));
    if (given > 0 && given < 4) {
        const char* firstGiven =
            *std::find_if(std::begin(rect), std::end(rect), [&](const char* name) { return element->Attribute(name); });
        findings.warning(locationOf(element, firstGiven),
                         "x, y, width and height make a single frame only when all four are given; this sprite "
                         "is read from its <frame> elements");
    } else if (given == 4 && element->FirstChildElement("frame") != nullptr) {
        findings.warning(locationOf(element->FirstChildElement("frame")),
                         "the <frame> elements are ignored: the sprite's x, y, width and height make its one frame");
    }
}

void DataChecker::walkSoundSet(const std::string& file) {
    TiXmlDocument document;
    if (!xml::loadDocument(document, file))
        return;
    const TiXmlElement* root = document.FirstChildElement("sounds");
    if (root == nullptr)
        return;
    soundSetRoot = locationOf(root);
    schema.walk(root, *findRule(game.getRegistry(), "sounds"), nullptr);
    for (const TiXmlElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        // The id as the sound manager reads it, comments and all.
        std::string name;
        if (!xml::readElementText(e, name))
            continue;
        if (e->ValueStr() == "sfx")
            effects.push_back({name, locationOf(e)});
        else if (e->ValueStr() == "music")
            tracks.push_back({name, locationOf(e)});
    }
}

void DataChecker::report(const TiXmlElement* element, const std::string& message) {
    if (spritesFailed && (contains(message, kSpriteNotFound) || contains(message, kNumberSpriteMissing)))
        return;
    const std::size_t level = message.find(kLevelFailed);
    if (level != std::string::npos) {
        fileError(message.substr(level + std::string(kLevelFailed).size()), message, locationOf(element));
        return;
    }
    findings.error(locate(element, message), message);
}

void DataChecker::fileError(const std::string& path, const std::string& message, const Location& fallback) {
    Location where;
    std::string reason;
    if (parseErrorOf(path, where, reason)) {
        findings.error(where, message);
        findings.note(where, "TinyXML: " + reason);
    } else {
        findings.error(fallback, message);
    }
}

Location DataChecker::locate(const TiXmlElement* element, const std::string& message) const {
    if (element == nullptr)
        return {};
    Location where = locationOf(element);
    const std::size_t colour = message.find(kColourPrefix);
    if (colour != std::string::npos) {
        findAttributeWithValue(element, message.substr(colour + std::string(kColourPrefix).size()), where);
        return where;
    }
    if (contains(message, kSpriteNotFound)) {
        // At the attribute that names it: "sprite", or another such as "wide_sprite" or "shot_sprite".
        const std::size_t open = message.find('"');
        const std::size_t close = open != std::string::npos ? message.find('"', open + 1) : std::string::npos;
        if (close != std::string::npos &&
            findAttributeWithValue(element, message.substr(open + 1, close - open - 1), where))
            return where;
        return locationOf(element, "sprite");
    }
    // "Sound Exception: ID: No sound ..." (or "No music ..."): at the attribute that names it.
    const std::size_t idStart = std::string(kSoundPrefix).size();
    const std::size_t noSound = std::min(message.find(kNoSound, idStart), message.find(kNoMusic, idStart));
    if (message.rfind(kSoundPrefix, 0) == 0 && noSound != std::string::npos) {
        findAttributeWithValue(element, message.substr(idStart, noSound - idStart), where);
        return where;
    }
    if (message.rfind(kResourcePrefix, 0) == 0)
        return locationOf(element, "texture");
    const std::size_t single = message.find(kSingleFramePrefix);
    if (single != std::string::npos) {
        // "... single frame width." names the attribute before its full stop.
        const std::string name = message.substr(single + std::string(kSingleFramePrefix).size());
        return locationOf(element, name.substr(0, name.size() - (name.empty() ? 0 : 1)).c_str());
    }
    const std::size_t frame = message.find(kFramePrefix);
    const std::size_t onFrame = message.find(kOnFrame);
    const std::size_t nameStart = frame + std::string(kFramePrefix).size();
    if (frame != std::string::npos && onFrame != std::string::npos && onFrame > nameStart) {
        const std::string name = message.substr(nameStart, onFrame - nameStart);
        long index = std::strtol(message.c_str() + onFrame + std::string(kOnFrame).size(), nullptr, 10);
        const TiXmlElement* f = element->FirstChildElement("frame");
        while (f != nullptr && index-- > 0)
            f = f->NextSiblingElement("frame");
        return f != nullptr ? locationOf(f, name.c_str()) : where;
    }
    if (contains(message, kBadRegion) && game.getTextureCache() != nullptr) {
        const char* name = element->Attribute("texture");
        const auto& textures = game.getTextureCache()->getTextures();
        auto texture = name != nullptr ? textures.find(name) : textures.end();
        const TiXmlElement* f = texture != textures.end() && element->Attribute("width") == nullptr
                                    ? frameOutside(element, texture->second->width, texture->second->height)
                                    : nullptr;
        return f != nullptr ? locationOf(f) : where;
    }
    if (contains(message, kNoBall) || contains(message, kTwoBalls)) {
        // The paddle asks for the ball: the first paddle of the scene's file.
        const EntityOrigin* paddle = nullptr;
        for (const auto& [entity, origin] : origins)
            if (origin.type == "paddle" && origin.where.file == where.file &&
                (paddle == nullptr || origin.where.line < paddle->where.line))
                paddle = &origin;
        return paddle != nullptr ? paddle->where : where;
    }
    if (contains(message, kNoEntities) && element->FirstChildElement("entities") != nullptr)
        return locationOf(element->FirstChildElement("entities"));
    if (contains(message, kNoLevels) && element->FirstChildElement("levels") != nullptr)
        return locationOf(element->FirstChildElement("levels"));
    return where;
}

void DataChecker::checkUse() {
    SpriteManager* loadedSprites = game.getSpriteManager();
    if (!spritesFailed && loadedSprites != nullptr) {
        for (const Named& sprite : sprites) {
            if (loadedSprites->getSprite(sprite.name) == nullptr)
                continue; // it failed to load, and that error is reported
            const bool digit = usage.digits && std::any_of(std::begin(kDigitSprites), std::end(kDigitSprites),
                                                           [&](const char* d) { return sprite.name == d; });
            if (!digit && usage.sprites.count(sprite.name) == 0)
                findings.warning(sprite.where, "sprite '" + sprite.name + "' is never used");
        }
    }
    if (game.getSoundManager() == nullptr)
        return;
    for (const auto& needed : soundsNeeded) {
        // Not a structured binding: C++17 lambdas cannot capture one (clang refuses).
        const std::string& id = needed.first;
        if (std::none_of(effects.begin(), effects.end(), [&](const Named& n) { return n.name == id; }))
            findings.error(needed.second,
                           "Sound Exception: " + id +
                               ": No sound with that ID to play! (the game stops with this when this block "
                               "is hit)");
    }
    for (const Named& effect : effects)
        if (soundsNeeded.count(effect.name) == 0 && capsuleSounds.count(effect.name) == 0)
            findings.warning(effect.where, "sound '" + effect.name + "' is never played");
    for (const Named& track : tracks)
        if (track.name != kMusicId && levelTracks.count(track.name) == 0)
            findings.warning(track.where, "music '" + track.name + "' is never played: the game plays only '" +
                                              std::string(kMusicId) + "' and the tracks its levels name");
}

void DataChecker::checkImages() {
    TextureCache* cache = game.getTextureCache();
    if (cache == nullptr || spritesFailed)
        return;
    const std::string directory = cache->pathFor("");
    const fs::path folder = directory.empty() ? fs::path(".") : fs::path(directory);
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return;
    std::set<fs::path> used;
    for (const auto& entry : cache->getTextures())
        used.insert(fs::weakly_canonical(cache->pathFor(entry.first), error));
    for (const std::string& name : texturesNamed)
        used.insert(fs::weakly_canonical(cache->pathFor(name), error));
    std::vector<std::string> unused;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (!entry.is_regular_file(error) || extension != ".png")
            continue;
        if (used.count(fs::weakly_canonical(entry.path(), error)) == 0)
            unused.push_back(cache->pathFor(entry.path().filename().string()));
    }
    std::sort(unused.begin(), unused.end());
    for (const std::string& path : unused)
        findings.warning({path, 0, 0}, "no sprite uses this image");
}

// The icon is optional: the game starts without it, or with one it cannot use, keeping the
// window's default icon; an unusable one is worth a warning.
void DataChecker::checkWindowIcon() {
    IconImage icon;
    std::string reason;
    if (loadIconImage(kWindowIconPath, icon, reason) == IconStatus::Unusable)
        findings.warning({kWindowIconPath, 0, 0}, "the window icon cannot serve as one, so the window keeps the "
                                                 "default icon: " + reason);
}
} // namespace

void checkData(Findings& findings) {
    auto game = std::make_unique<GameWorld>();
    // The sizes the game's window would have: the background effect spreads its emitters over it.
    game->width = kViewWidth;
    game->height = kViewHeight;
    DataChecker checker(*game, findings);
    checker.run();
    // While the checker lives: the Game's scenes still name it as their observer.
    game.reset();
}

int runCheck(const CheckOptions& options) {
    // The silent driver needs no sound device; the effects and music still load through SDL_mixer.
    setenv("SDL_AUDIODRIVER", audio::kSilentDriver, 1);
    Findings findings;
    checkData(findings);
    SDL_Quit();
    for (const Finding& finding : findings.sorted())
        std::printf("%s\n", formatFinding(finding).c_str());
    std::fflush(stdout);
    const int errors = findings.count(Severity::Error);
    const int warnings = findings.count(Severity::Warning);
    std::fprintf(stderr, "pellvane --check: %d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings,
                 warnings == 1 ? "" : "s");
    return errors > 0 || (options.strict && warnings > 0) ? 1 : 0;
}
