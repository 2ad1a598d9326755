// HighScoreKeeper: the table's settings and file, the initials entry and its input, the title's
// turns, and the events that show them.
#include "game/HighScoreKeeper.h"

#include <algorithm>
#include <ctime>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "events/Events.h"
#include "game/GameEvents.h"
#include "game/Gamepad.h"
#include "game/HighScoreFile.h"
#include "game/PlayField.h"

namespace {
// SDL 1.2 key symbols the entry answers; the letters are 'a' to 'z'.
constexpr int32_t kKeyBackspace = 8;
constexpr int32_t kKeyReturn = 13;
constexpr int32_t kKeyPadEnter = 271;
constexpr int32_t kKeySpace = 32;
constexpr int32_t kKeyUp = 273;
constexpr int32_t kKeyDown = 274;
constexpr int32_t kKeyRight = 275;
constexpr int32_t kKeyLeft = 276;
} // namespace

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char date[16] = "";
    if (localtime_r(&now, &local) == nullptr || std::strftime(date, sizeof date, "%Y-%m-%d", &local) != 10)
        return "";
    return date;
}

void HighScoreKeeper::read(const TiXmlElement* sceneElement, const char* source, LoadDiagnostics* diagnostics) {
    const TiXmlElement* element = sceneElement != nullptr ? sceneElement->FirstChildElement("high_scores") : nullptr;
    settings = HighScoreSettings{};
    settings.on = element != nullptr;
    if (element == nullptr)
        return;
    using namespace highscoresettings;
    SettingReader<SceneException>(element, source, diagnostics)(kKeep, settings.keep)(kLogoTime, settings.logoTime)(
        kTableTime, settings.tableTime)(kClickDelay, settings.clickDelay);
}

void HighScoreKeeper::open(bool readFile, bool writeFile, int bestScore, HighScores* runTable, bool again) {
    scores = runTable != nullptr ? runTable : &ownScores;
    again = again && runTable != nullptr;
    if (!again)
        *scores = HighScores{};
    path.clear();
    if (settings.on && settings.keep && readFile) {
        path = highscorefile::defaultPath();
        // Read again only for whether it may be written: the run's table may hold what the file
        // does not (a table kept for the run only).
        highscorefile::Stored stored = highscorefile::load(path, again);
        if (!again)
            *scores = stored.scores;
        // A file that exists but is not a table of ours is the player's, or theirs unread: never
        // write it.
        if (!stored.writable || !writeFile)
            path.clear();
    }
    if (!again)
        scores->carryOver(bestScore);
}

void HighScoreKeeper::sceneStarted() {
    if (!settings.on)
        return;
    turn = Turn::Logo;
    turnTime = 0.0f;
    field.raise(PELLVANE_TITLE_LOGO);
    offerContinue();
}

void HighScoreKeeper::update(float dt) {
    if (entering)
        enteringFor += dt;
    if (turn == Turn::None || !(settings.logoTime > 0.0f && settings.tableTime > 0.0f))
        return;
    turnTime += dt;
    if (turnTime <= (turn == Turn::Logo ? settings.logoTime : settings.tableTime))
        return;
    turnTime = 0.0f;
    turn = turn == Turn::Logo ? Turn::Table : Turn::Logo;
    field.raise(PELLVANE_TITLE_TURN_OVER);
    field.raise(turn == Turn::Table ? PELLVANE_TITLE_TABLE : PELLVANE_TITLE_LOGO);
}

void HighScoreKeeper::gameStarted(bool isContinued) {
    if (!settings.on)
        return;
    // A game begun over an open entry (the new-game button is not shown then, but a program may
    // start one) keeps the entry as it stands rather than losing the score.
    if (entering)
        confirm();
    else if (levelRose)
        save();
    if (turn != Turn::None) {
        turn = Turn::None;
        field.raise(PELLVANE_TITLE_TURN_OVER);
    }
    marked.reset();
    continued = isContinued;
}

void HighScoreKeeper::levelReached(unsigned level) {
    if (settings.on && scores->reachLevel(level))
        levelRose = true;
}

void HighScoreKeeper::gameEnded(int score, int level) {
    if (!settings.on)
        return;
    marked.reset();
    if (!scores->placeFor(score)) {
        if (levelRose)
            save();
        showScores();
        return;
    }
    pending = {kUnknownInitials, score, level, today(), continued};
    // The initials entered last in this run come back: a player who plays on types nothing.
    editor = InitialsEditor(editor.getInitials());
    entering = true;
    enteringFor = 0.0f;
    field.raise(PELLVANE_HIGH_SCORE);
}

void HighScoreKeeper::finish() {
    // The scene is going: the entry goes in, but nothing is left to show it.
    if (entering)
        enter();
    else if (levelRose)
        save();
}

bool HighScoreKeeper::handleInput(const IEvent& event) {
    if (!entering)
        return false;
    if (const auto* mouse = dynamic_cast<const MouseEvent*>(&event)) {
        // The wheel, which SDL reports as buttons too, confirms nothing.
        const bool button =
            mouse->button == LeftButton || mouse->button == MiddleButton || mouse->button == RightButton;
        if (mouse->getName() == MOUSE_BUTTON_UP_EVENT && button && enteringFor >= settings.clickDelay)
            confirm();
        return mouse->action != MouseMoved;
    }
    if (const JoystickEvent* pad = gamepad::event(event, field.getSettings().gamepad))
        return padInput(*pad);
    const auto* key = dynamic_cast<const KeyboardEvent*>(&event);
    if (key == nullptr || key->getName() != KEYBOARD_KEY_PRESSED_EVENT)
        return false;
    switch (key->key) {
    case kKeyReturn:
    case kKeyPadEnter:
        confirm();
        return true;
    case kKeySpace:
        // Space is the launch key, and may be meant for the ball just lost: like a click, it
        // confirms only once the entry has been open "click_delay".
        if (enteringFor >= settings.clickDelay)
            confirm();
        return true;
    case kKeyUp:
        edited(editor.letterUp());
        return true;
    case kKeyDown:
        edited(editor.letterDown());
        return true;
    case kKeyRight:
        edited(editor.next());
        return true;
    case kKeyLeft:
    case kKeyBackspace:
        edited(editor.back());
        return true;
    default:
        if (key->key >= 'a' && key->key <= 'z') {
            edited(editor.type(static_cast<char>(key->key)));
            return true;
        }
        return false;
    }
}

bool HighScoreKeeper::padInput(const JoystickEvent& pad) {
    const GamepadSettings& settings = field.getSettings().gamepad;
    if (pad.getName() == JOYSTICK_HAT_EVENT) {
        // One direction at a time: a diagonal on the d-pad is no letter and no move.
        switch (pad.value) {
        case HatUp:
            edited(editor.letterUp());
            break;
        case HatDown:
            edited(editor.letterDown());
            break;
        case HatRight:
            edited(editor.next());
            break;
        case HatLeft:
            edited(editor.back());
            break;
        default:
            break;
        }
        return true;
    }
    // The launch button, like a click, may be meant for the ball just lost: it confirms only once
    // the entry has been open "click_delay"; the pause button too, as nothing else is paused here.
    const gamepad::Button button = gamepad::button(pad, settings);
    if (gamepad::isButtonDown(pad) && (button == gamepad::Button::Launch || button == gamepad::Button::Pause) &&
        enteringFor >= this->settings.clickDelay)
        confirm();
    return true;
}

void HighScoreKeeper::edited(bool changed) {
    if (changed)
        field.raise(PELLVANE_INITIALS_EDITED);
}

void HighScoreKeeper::confirm() {
    if (!entering)
        return;
    enter();
    field.raise(PELLVANE_INITIALS_ENTERED);
    showScores();
}

void HighScoreKeeper::enter() {
    entering = false;
    editor.confirm();
    pending.initials = editor.getInitials();
    marked = scores->insert(pending);
    save();
}

void HighScoreKeeper::showScores() {
    field.raise(PELLVANE_SCORES_SHOWN);
    offerContinue();
}

void HighScoreKeeper::offerContinue() {
    if (continueLevel(field.getMatch().getLevelCount()) > 1)
        field.raise(PELLVANE_CONTINUE_OFFERED);
}

unsigned HighScoreKeeper::continueLevel(std::size_t levelCount) const {
    return static_cast<unsigned>(std::min<std::size_t>(scores->highestLevel(), std::max<std::size_t>(levelCount, 1)));
}

void HighScoreKeeper::save() {
    levelRose = false;
    if (!path.empty())
        highscorefile::save(path, *scores);
}
