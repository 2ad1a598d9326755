// PellvaneGameScene's recordings: every game played is recorded as it goes and kept when it ends;
// a recording is watched in a scene of its own (a replay from the command line, the best game, the
// title's demo), which keeps nothing of it and gives the title back at its end.
#include <algorithm>
#include <cstdio>
#include <iterator>

#include "base/DebugLog.h"
#include "game/GameEvents.h"
#include "game/PellvaneGameScene.h"
#include "game/Recordings.h"

namespace {
// SDL 1.2 key symbols the watcher uses.
constexpr int32_t kKeyWatch = 119;      // "w": the best game, from the title
constexpr int32_t kKeyPauseWatch = 112; // "p"
constexpr int32_t kKeyFaster = 102;     // "f"
constexpr int32_t kKeyQuit = 113;       // "q"
// Keys the application answers on every screen (mute, full screen): they leave nothing watched.
constexpr int32_t kApplicationKeys[] = {109, 292};
constexpr int kFastestWatch = 8;
// How long the end of a watched game stays on the screen before the title (or the end of the run).
constexpr float kEndShown = 2.0f;
} // namespace

bool WatchControlsCallback::handleEvent(IEvent* event) {
    if (event != nullptr)
        scene->handleWatchInput(*event);
    return false;
}

std::optional<Recording> PellvaneGameScene::playable(const std::string& path, std::string& why) const {
    std::optional<Recording> recording = recordings::load(path, why);
    if (recording)
        why = replayRefusal(recording->header);
    if (!why.empty())
        return std::nullopt;
    return recording;
}

std::optional<Recording> PellvaneGameScene::watchable(const std::string& path, const char* what) const {
    std::string why;
    if (std::optional<Recording> recording = playable(path, why))
        return recording;
    debugLog("pellvane: %s %s: cannot be played back: %s", what, path.c_str(), why.c_str());
    return std::nullopt;
}

std::string PellvaneGameScene::replayRefusal(const RecordingHeader& header) const {
    if (settings.stepRate <= 0)
        return "the data moves by frames, not in fixed steps (\"step_rate\"), so no game can be played back";
    const std::string why = recordings::refusal(header, dataFingerprint, static_cast<uint32_t>(settings.stepRate));
    if (!why.empty())
        return why;
    if (header.startLevel < 1 || header.startLevel > levels.count())
        return "it starts at level " + std::to_string(header.startLevel) + ", and the data has " +
               std::to_string(levels.count());
    return {};
}

void PellvaneGameScene::watch(Recording recording, Watching how) {
    toWatch = std::move(recording);
    watching = how;
    match.setCountsForBest(false);
    watchControls = std::make_unique<WatchControlsCallback>(this);
    stepInput.giveLiveInputTo(watchControls.get());
}

void PellvaneGameScene::startWatching() {
    Recording recording = std::move(*toWatch);
    toWatch.reset();
    const RecordingHeader header = recording.header;
    stepInput.replay(std::move(recording));
    newGameAt(header.startLevel - 1, header.continued, header.seed);
    raise(watching == Watching::Demo ? PELLVANE_DEMO_STARTED : PELLVANE_REPLAY_STARTED);
}

void PellvaneGameScene::handleWatchInput(const IEvent& event) {
    const auto* key = dynamic_cast<const KeyboardEvent*>(&event);
    const auto* mouse = dynamic_cast<const MouseEvent*>(&event);
    if (!(key != nullptr && key->pressed) && !(mouse != nullptr && mouse->action == MouseButtonDown))
        return;
    if (key != nullptr &&
        std::find(std::begin(kApplicationKeys), std::end(kApplicationKeys), key->key) != std::end(kApplicationKeys))
        return;
    if (watching == Watching::Demo) {
        remake(std::nullopt, Watching::No);
        return;
    }
    if (key != nullptr && key->key == kKeyPauseWatch) {
        watchPaused = !watchPaused;
        return;
    }
    if (key != nullptr && key->key == kKeyFaster) {
        watchSpeed = watchSpeed >= kFastestWatch ? 1 : watchSpeed * 2;
        return;
    }
    if (watching == Watching::Replay) {
        if (key != nullptr && key->key == kKeyQuit && services.switcher != nullptr)
            services.switcher->endRun(0);
        return;
    }
    remake(std::nullopt, Watching::No);
}

void PellvaneGameScene::finishReplay() {
    if (!replayFinished) {
        replayFinished = true;
        const RecordingHeader& header = stepInput.getReplay().header;
        const int reached = match.getLevelsCompleted() + 1;
        replayAsRecorded =
            match.getScore() == header.score && match.getLives() == header.lives && reached == header.reached;
        char text[256];
        std::snprintf(text, sizeof text, "%s: score %d, lives %d, level %d after %u steps",
                      replayAsRecorded ? "ended as recorded" : "played differently", match.getScore(), match.getLives(),
                      reached, stepInput.stepsDone());
        replayVerdict = text;
        if (!replayAsRecorded)
            replayVerdict += " (recorded: score " + std::to_string(header.score) + ", lives " +
                             std::to_string(header.lives) + ", level " + std::to_string(header.reached) + ")";
        if (watching == Watching::Replay || !replayAsRecorded)
            debugLog("pellvane: the replay %s", replayVerdict.c_str());
    }
    if (sinceReplayEnd < kEndShown)
        return;
    if (watching == Watching::Replay) {
        if (services.switcher != nullptr)
            services.switcher->endRun(replayAsRecorded ? 0 : 1);
    } else {
        remake(std::nullopt, Watching::No);
    }
}

void PellvaneGameScene::remake(std::optional<Recording> recording, Watching how) {
    if (services.switcher == nullptr)
        return;
    services.switcher->remakeScene([recording = std::move(recording), how](IScene& scene) {
        auto* game = dynamic_cast<PellvaneGameScene*>(&scene);
        if (game != nullptr && recording)
            game->watch(*recording, how);
    });
}

void PellvaneGameScene::countIdle(float dt) {
    if (stepInput.takeLiveInput())
        idleTime = 0.0f;
    const bool onTitle = (match.getState() == Initiated || match.getState() == GameOver) && !highScores.isEntering();
    if (!onTitle || settings.demo.empty() || demoRefused || services.switcher == nullptr) {
        idleTime = 0.0f;
        return;
    }
    idleTime += dt;
    if (idleTime < settings.demoAfter)
        return;
    idleTime = 0.0f;
    std::optional<Recording> demo = watchable(settings.demo, "demo");
    if (!demo) {
        demoRefused = true;
        return;
    }
    remake(std::move(demo), Watching::Demo);
}

bool PellvaneGameScene::watchBestGame(const IEvent& event) {
    const auto* key = dynamic_cast<const KeyboardEvent*>(&event);
    if (key == nullptr || key->pressed || key->key != kKeyWatch || watching != Watching::No ||
        services.switcher == nullptr || !(match.getState() == Initiated || match.getState() == GameOver))
        return false;
    if (std::optional<Recording> best = watchable(recordings::keptPath(recordings::kBest), "best game"))
        remake(std::move(best), Watching::Best);
    return true;
}

void PellvaneGameScene::offerWatching() {
    std::string why;
    const std::string path = recordings::keptPath(recordings::kBest);
    if (!path.empty() && playable(path, why))
        raise(PELLVANE_WATCH_OFFERED);
}

void PellvaneGameScene::startRecording(unsigned index, bool continued) {
    RecordingHeader header;
    header.gameVersion = recordings::programVersion();
    header.dataFingerprint = dataFingerprint;
    header.seed = gameSeed;
    header.startLevel = index + 1;
    header.continued = continued;
    header.date = today();
    header.stepRate = static_cast<uint32_t>(settings.stepRate > 0 ? settings.stepRate : 0);
    stepInput.gameStarted(settings.stepRate > 0 ? std::optional<RecordingHeader>(header) : std::nullopt);
}

namespace {
// The figures a recorded game ended on, for its replay to prove itself against.
void closeRecording(Recording& recording, const Match& match) {
    recording.header.score = match.getScore();
    recording.header.lives = match.getLives();
    recording.header.reached = match.getLevelsCompleted() + 1;
}
} // namespace

void PellvaneGameScene::keepRecording(bool best) {
    // A game ends during a step: the step counts.
    const Recording* recorded = stepInput.recorded(stepping);
    if (recorded == nullptr)
        return;
    Recording game = *recorded;
    stepInput.stopRecording();
    closeRecording(game, match);
    if (services.writePlayerFiles)
        recordings::keep(game, best && game.header.score > 0);
    if (!services.recordTo.empty())
        recordings::save(services.recordTo, game);
}

std::optional<Recording> PellvaneGameScene::gameSoFar() {
    const Recording* recorded = stepInput.recorded(stepping);
    if (recorded == nullptr)
        return std::nullopt;
    Recording game = *recorded;
    closeRecording(game, match);
    return game;
}

void PellvaneGameScene::keepGameAfterFault() {
    std::optional<Recording> game = gameSoFar();
    if (!game || !match.isInPlay())
        return;
    const std::string path = recordings::keptPath(recordings::kFault);
    if (!path.empty() && recordings::save(path, *game))
        debugLog("pellvane: the game so far is kept in %s: attach it to a report of this error", path.c_str());
    if (!services.recordTo.empty())
        recordings::save(services.recordTo, *game);
}
