// The game scene's stepped input with no scene around it: what comes live reaches the entities
// only when a step begins, stamped with that step while a game is recorded; a replay hands the same
// events on at the same steps; the player's recordings rotate and never replace what is not one.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "game/Recordings.h"
#include "game/StepInput.h"

namespace {

// Writes down every event the entities get, as text.
struct Seen final : IEventCallback {
    std::vector<std::string> events;
    bool handleEvent(IEvent* event) override {
        std::string text = event->getName();
        if (auto* mouse = dynamic_cast<MouseEvent*>(event))
            text +=
                " " + std::to_string(mouse->x) + "," + std::to_string(mouse->y) + " b" + std::to_string(mouse->button);
        if (auto* key = dynamic_cast<KeyboardEvent*>(event))
            text += " " + std::to_string(key->key);
        events.push_back(text);
        return true;
    }
};

void subscribe(StepInput& input, Seen& seen) {
    for (const std::string* name : {&MOUSE_MOVE_EVENT, &MOUSE_BUTTON_DOWN_EVENT, &MOUSE_BUTTON_UP_EVENT,
                                    &KEYBOARD_KEY_PRESSED_EVENT, &KEYBOARD_KEY_RELEASED_EVENT})
        input.forEntities()->registerCallback(*name, &seen);
}

TEST(StepInputTest, LiveInputWaitsForAStepIsRecordedWithItAndReplaysTheSame) {
    EventDispatcher game;
    StepInput live;
    live.listen(&game, 600);
    live.handOnAtSteps(true);
    Seen seen;
    subscribe(live, seen);

    game.dispatchEvent(new MouseEvent(MOUSE_MOVE_EVENT, 100, 250, false, false, MouseMoved));
    EXPECT_TRUE(seen.events.empty()) << "nothing reaches the entities between steps";
    live.deliver();
    ASSERT_EQ(1u, seen.events.size());
    EXPECT_EQ(MOUSE_MOVE_EVENT + " 100,250 b0", seen.events[0]) << "live, the pointer's height is kept";

    RecordingHeader header;
    header.gameVersion = "test";
    live.gameStarted(header);
    live.deliver(); // as the scene does before its next step: the pointer's place comes first
    live.stepDone();
    live.stepDone();
    // A click where no move put the pointer moves it there first.
    game.dispatchEvent(new MouseEvent(MOUSE_BUTTON_DOWN_EVENT, 140, 260, true, false, MouseButtonDown, LeftButton));
    game.dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_RELEASED_EVENT, 32, false));
    live.deliver();
    const Recording* recorded = live.recorded(false);
    ASSERT_NE(nullptr, recorded);
    const std::vector<RecordedInput> expected{{0, InputKind::PointerX, 100, 0},
                                              {2, InputKind::PointerX, 140, 0},
                                              {2, InputKind::ButtonDown, LeftButton, 0},
                                              {2, InputKind::KeyUp, 32, 0}};
    EXPECT_EQ(expected, recorded->inputs);
    EXPECT_EQ(2u, recorded->header.steps);
    EXPECT_EQ(3u, live.recorded(true)->header.steps) << "a game ending during a step counts that step";
    const std::vector<std::string> liveEvents(seen.events.begin() + 1, seen.events.end());

    // Played back, the same events at the same steps, every pointer at the view's bottom edge; what
    // comes live meanwhile goes to the watcher alone.
    StepInput replay;
    replay.listen(&game, 600);
    replay.handOnAtSteps(true);
    Seen replayed, watcher;
    subscribe(replay, replayed);
    replay.giveLiveInputTo(&watcher);
    replay.replay(*recorded);
    game.dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, 102, true));
    const std::size_t handedOnBefore[] = {1, 1, 4};
    for (int step = 0; step < 3; ++step) {
        replay.deliver();
        EXPECT_EQ(handedOnBefore[step], replayed.events.size()) << "before step " << step;
        replay.stepDone();
    }
    EXPECT_TRUE(replay.replayEnded());
    EXPECT_EQ(std::vector<std::string>{KEYBOARD_KEY_PRESSED_EVENT + " 102"}, watcher.events);
    ASSERT_EQ(4u, replayed.events.size());
    EXPECT_EQ(MOUSE_MOVE_EVENT + " 100,599 b0", replayed.events[0]);
    EXPECT_EQ(MOUSE_MOVE_EVENT + " 140,599 b0", replayed.events[1]);
    EXPECT_EQ(MOUSE_BUTTON_DOWN_EVENT + " 140,599 b1", replayed.events[2]);
    EXPECT_EQ(liveEvents.back(), replayed.events[3]);
}

TEST(StepInputTest, ThePlayersRecordingsRotateAndWhatIsNotOneIsLeftAlone) {
    testsupport::ScratchDir dir;
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string restore = previous != nullptr ? previous : "";
    setenv("XDG_DATA_HOME", dir.path.c_str(), 1);
    Recording game;
    game.header.gameVersion = "test";
    game.header.steps = 10;
    for (int32_t score : {100, 200, 300}) {
        game.header.score = score;
        recordings::keep(game, score == 200);
    }
    std::string why;
    const auto scoreOf = [&](const char* which) {
        const std::optional<Recording> read = recordings::load(recordings::keptPath(which), why);
        return read ? read->header.score : -1;
    };
    EXPECT_EQ(300, scoreOf(recordings::kLast));
    EXPECT_EQ(200, scoreOf(recordings::kPrevious));
    EXPECT_EQ(200, scoreOf(recordings::kBest));

    // A last game that is not a recording is the player's: neither replaced nor rotated.
    testsupport::writeFile(recordings::keptPath(recordings::kLast), "my notes\n");
    recordings::keep(game, false);
    EXPECT_EQ(-1, scoreOf(recordings::kLast));
    EXPECT_EQ("not a Pellvane recording", why);
    EXPECT_EQ(200, scoreOf(recordings::kPrevious));
    setenv("XDG_DATA_HOME", restore.c_str(), 1);
}

} // namespace
