// The checker's run: the configuration step of the game's start-up, taken unit by unit so that
// one mistake does not hide the next, then the schema walk and the checks of the loaded game.
#include "check/Checker.h"

#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <tinyxml.h>

#include "app/Exceptions.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "app/LoadObserver.h"
#include "app/StartupMessages.h"
#include "check/GameChecks.h"
#include "check/SchemaCheck.h"
#include "game/PellvaneGameScene.h"
#include "graphics/IconImage.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"
#include "scene/XmlAttributes.h"
#include "sound/AudioDevice.h"
#include "sound/SoundManager.h"

namespace fs = std::filesystem;

namespace {
const char* const kConfigFile = "config.xml";
// The track the game starts once start-up has succeeded.
const char* const kMusicId = "music.ogg";
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

class DataChecker final : public LoadObserver {
public:
    DataChecker(Game& game, Findings& findings) : game(game), findings(findings), schema(findings, usage) {}
    ~DataChecker() override {
        // Scenes first: their entities unregister from the Game, which outlives them.
        scenes.clear();
    }

    void run();

    void failed(const TiXmlElement* element, const BaseException& error) override;
    void loaded(const TiXmlElement* element, IEntity* entity) override {
        origins[entity] = {locationOf(element), element->ValueStr()};
    }

private:
    struct Named {
        std::string name;
        Location where;
    };

    void configure(TiXmlElement* config);
    void loadSprites(TiXmlElement* config);
    void loadSounds(TiXmlElement* config);
    void loadScenes(TiXmlElement* config);
    void loadScene(TiXmlElement* element);
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

    Game& game;
    Findings& findings;
    DataUsage usage;
    SchemaCheck schema;
    EntityOrigins origins;
    std::vector<std::unique_ptr<IScene>> scenes;
    std::vector<Named> sprites;
    std::vector<Named> effects;
    std::vector<Named> tracks;
    Location soundSetRoot;
    std::map<std::string, Location> soundsNeeded;
    // The sprite set as a whole failed: entities that name a sprite fail too, for no fault of theirs.
    bool spritesFailed = false;
    bool soundsLoaded = false;
};

void DataChecker::run() {
    findings.fileLoaded(kConfigFile);
    TiXmlDocument document;
    if (!xml::loadDocument(document, kConfigFile)) {
        fileError(kConfigFile, startup::kConfigFailedToLoad, {kConfigFile, 0, 0});
        return;
    }
    TiXmlElement* config = document.FirstChildElement("config");
    if (config == nullptr) {
        findings.error(document.FirstChildElement() != nullptr ? locationOf(document.FirstChildElement())
                                                               : Location{kConfigFile, 0, 0},
                       startup::kNoConfigElement);
        return;
    }
    configure(config);
    schema.walk(config, *findRule("config"), nullptr);
    checkUse();
    checkImages();
    checkWindowIcon();
}

void DataChecker::configure(TiXmlElement* config) {
    // The same steps, in the same order, as the game's configuration step.
    int batchSize = kDefaultBatchSize;
    xml::readInt(config, "batchsize", batchSize);
    try {
        game.setSpriteBatches(new SpriteBatchRegistry(batchSize));
    } catch (const BaseException& error) {
        findings.error(locationOf(config, "batchsize"), error.message);
    }
    std::string directory;
    xml::readText(config, "textures", directory);
    game.setTextureCache(new TextureCache(directory, false));
    loadSprites(config);
    loadSounds(config);
    loadScenes(config);
    if (soundsLoaded) {
        try {
            game.getSoundManager()->playMusic(kMusicId);
        } catch (const BaseException& error) {
            findings.error(soundSetRoot, error.message);
        }
    }
}

void DataChecker::loadSprites(TiXmlElement* config) {
    std::string file;
    TiXmlElement* firstSprite = config->FirstChildElement("sprite");
    if (xml::readText(config, "spriteset", file)) {
        findings.fileLoaded(file);
        try {
            game.setSpriteManager(new SpriteManager(file, *game.getTextureCache(), this));
        } catch (const BaseException& error) {
            spritesFailed = true;
            fileError(file, error.message, locationOf(config, "spriteset"));
        }
        walkSpriteSet(file);
        if (firstSprite != nullptr)
            findings.warning(locationOf(firstSprite), "the <sprite> elements of <config> are ignored: the sprites "
                                                      "come from the spriteset file");
    } else if (firstSprite != nullptr) {
        game.setSpriteManager(new SpriteManager(TiXmlHandle(firstSprite), *game.getTextureCache(), this));
        for (const TiXmlElement* e = firstSprite; e != nullptr; e = e->NextSiblingElement("sprite"))
            noteSprite(e);
    } else {
        spritesFailed = true;
        findings.error(locationOf(config), startup::kNoSprites);
    }
}

void DataChecker::loadSounds(TiXmlElement* config) {
    std::string file;
    if (!xml::readText(config, "soundset", file)) {
        findings.error(locationOf(config), startup::kNoSoundSet);
        return;
    }
    findings.fileLoaded(file);
    soundSetRoot = locationOf(config, "soundset");
    try {
        game.setSoundManager(new SoundManager(file, this));
        soundsLoaded = true;
    } catch (const BaseException& error) {
        fileError(file, error.message, soundSetRoot);
    }
    walkSoundSet(file);
}

void DataChecker::loadScenes(TiXmlElement* config) {
    TiXmlElement* list = config->FirstChildElement("scenes");
    if (list == nullptr) {
        findings.error(locationOf(config), startup::kNoScenes);
        return;
    }
    std::vector<Named> ids;
    for (TiXmlElement* element = list->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        const std::size_t before = scenes.size();
        loadScene(element);
        if (scenes.size() == before)
            continue;
        const std::string id = scenes.back()->getId();
        auto same = std::find_if(ids.begin(), ids.end(), [&](const Named& n) { return n.name == id; });
        if (!id.empty() && same != ids.end())
            findings.warning(locationOf(element, "id"), "another scene has the id '" + id + "' (" + same->where.file +
                                                            ":" + std::to_string(same->where.line) + ")");
        ids.push_back({id, locationOf(element)});
    }
    if (scenes.empty()) {
        findings.error(locationOf(list), startup::kNoValidScenes);
        return;
    }
    std::string defaultId;
    if (xml::readText(list, "default", defaultId) &&
        std::none_of(ids.begin(), ids.end(), [&](const Named& n) { return n.name == defaultId; }))
        findings.warning(locationOf(list, "default"),
                         "no scene has the id '" + defaultId + "': the first scene, '" + ids.front().name + "', runs");
}

void DataChecker::loadScene(TiXmlElement* element) {
    IScene* made = game.createScene(element->ValueStr());
    if (made == nullptr) {
        findings.warning(locationOf(element), "unknown scene type '" + element->ValueStr() + "' is skipped" +
                                                  suggest(element->ValueStr(), sceneTypeNames()));
        return;
    }
    scenes.emplace_back(made);
    auto* scene = dynamic_cast<BaseScene*>(made);
    if (scene != nullptr)
        scene->setLoadObserver(this);
    auto* gameScene = dynamic_cast<PellvaneGameScene*>(made);
    // Level files are read inside the scene's load: name them first so they are listed in that order.
    if (gameScene != nullptr)
        walkLevels(element, nullptr);
    try {
        made->load(TiXmlHandle(element));
    } catch (const BaseException& error) {
        failed(element, error);
    }
    if (const ElementRule* rule = sceneRule(element->ValueStr()))
        schema.walk(element, *rule, scene);
    if (gameScene != nullptr)
        checkGameScene(*gameScene, walkLevels(element, scene), origins, findings, soundsNeeded);
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
        const TiXmlNode* text = level->FirstChild();
        if (text != nullptr && text->ToText() != nullptr)
            file.path = hasDirectory ? directory + "/" + text->ValueStr() : text->ValueStr();
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
                schema.walk(root, *findRule("level"), scene);
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
        schema.walk(e, *findRule("sprite"), nullptr);
        noteSprite(e);
    }
}

void DataChecker::noteSprite(const TiXmlElement* element) {
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
    schema.walk(root, *findRule("sounds"), nullptr);
    for (const TiXmlElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
        const char* text = e->GetText();
        if (text == nullptr)
            continue;
        if (e->ValueStr() == "sfx")
            effects.push_back({text, locationOf(e)});
        else if (e->ValueStr() == "music")
            tracks.push_back({text, locationOf(e)});
    }
}

void DataChecker::failed(const TiXmlElement* element, const BaseException& error) {
    if (spritesFailed && (contains(error.message, kSpriteNotFound) || contains(error.message, kNumberSpriteMissing)))
        return;
    const std::size_t level = error.message.find(kLevelFailed);
    if (level != std::string::npos) {
        fileError(error.message.substr(level + std::string(kLevelFailed).size()), error.message, locationOf(element));
        return;
    }
    findings.error(locate(element, error.message), error.message);
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
    if (contains(message, kSpriteNotFound))
        return locationOf(element, "sprite");
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
    if (!soundsLoaded)
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
        if (soundsNeeded.count(effect.name) == 0)
            findings.warning(effect.where, "sound '" + effect.name + "' is never played");
    for (const Named& track : tracks)
        if (track.name != kMusicId)
            findings.warning(track.where, "music '" + track.name + "' is never played: the game plays only '" +
                                              std::string(kMusicId) + "'");
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
    Game* game = Game::getInstance();
    // The sizes the game's window would have: the background effect spreads its emitters over it.
    game->width = kWindowWidth;
    game->height = kWindowHeight;
    {
        DataChecker checker(*game, findings);
        checker.run();
    }
    Game::destroyInstance();
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
