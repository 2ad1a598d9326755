// The recording format: what is written reads back the same and stays small; whatever else is
// read (cut anywhere, a byte changed, another format) is refused with its reason.
#include <gtest/gtest.h>
#include <string>

#include "rules/Recording.h"

namespace {

Recording sample() {
    Recording recording;
    RecordingHeader& h = recording.header;
    h.gameVersion = "1.0.0";
    h.dataFingerprint = 0x9f3c2b7d5e1a0c44ull;
    h.seed = 3405691582u;
    h.startLevel = 12;
    h.continued = true;
    h.date = "2026-12-08";
    h.steps = 100000;
    h.score = 48210;
    h.lives = -1;
    h.reached = 14;
    // Every kind, a pointer move too far and too late for two bytes, and inputs sharing a step.
    recording.inputs = {{0, InputKind::PointerX, 400, 0},       {4, InputKind::PointerX, 410, 0},
                        {4, InputKind::ButtonDown, 1, 0},       {9, InputKind::ButtonUp, 1, 0},
                        {600, InputKind::PointerX, 12, 0},      {601, InputKind::KeyDown, 276, 0},
                        {700, InputKind::KeyUp, 276, 0},        {700, InputKind::FocusLost, 0, 0},
                        {5000, InputKind::FocusGained, 0, 0},   {5001, InputKind::JoyAxis, 0, -32768},
                        {5002, InputKind::JoyButtonDown, 3, 0}, {5003, InputKind::JoyButtonUp, 3, 0},
                        {99999, InputKind::JoyHat, 0, 8}};
    return recording;
}

TEST(RecordingTest, WhatIsWrittenReadsBackTheSameAndAnHourOfPointingIsSmall) {
    const Recording written = sample();
    const std::string bytes = encodeRecording(written);
    EXPECT_EQ(0u, bytes.find("pellvane-recording 1\ngame 1.0.0\ndata 9f3c2b7d5e1a0c44\n")) << "readable in a report";
    std::string why;
    const std::optional<Recording> read = decodeRecording(bytes, why);
    ASSERT_TRUE(read) << why;
    EXPECT_EQ(written.inputs, read->inputs);
    EXPECT_EQ("2026-12-08", read->header.date);
    EXPECT_TRUE(read->header.continued);
    EXPECT_EQ(written.header.seed, read->header.seed);
    EXPECT_EQ(written.header.dataFingerprint, read->header.dataFingerprint);
    EXPECT_EQ(-1, read->header.lives);
    EXPECT_EQ(14, read->header.reached);

    // An hour at 240 steps a second with the pointer moving every frame of 60: two bytes each.
    Recording hour;
    hour.header = written.header;
    hour.header.steps = 3600 * 240;
    for (uint32_t frame = 0; frame < 3600 * 60; ++frame)
        hour.inputs.push_back({frame * 4, InputKind::PointerX, static_cast<int32_t>(400 + (frame * 7) % 200), 0});
    const std::string long_ = encodeRecording(hour);
    EXPECT_LT(long_.size(), 450u * 1024u);
    ASSERT_TRUE(decodeRecording(long_, why)) << why;
}

TEST(RecordingTest, DamagedCutOrForeignBytesAreRefusedWithTheirReason) {
    const std::string bytes = encodeRecording(sample());
    std::string why;
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        EXPECT_FALSE(decodeRecording(bytes.substr(0, cut), why)) << "cut at " << cut;
        EXPECT_FALSE(why.empty());
    }
    const std::size_t body = bytes.find("\n\n") + 2;
    EXPECT_FALSE(decodeRecording(bytes.substr(0, body + 3), why));
    EXPECT_EQ("cut short", why);

    std::string changed = bytes;
    changed[body + 5] ^= 0x10;
    EXPECT_FALSE(decodeRecording(changed, why));
    EXPECT_EQ("damaged: the header or the body does not match its fingerprint", why);
    EXPECT_FALSE(decodeRecording(bytes + "x", why));
    EXPECT_EQ("damaged: bytes after the body", why);

    std::string later = bytes;
    later.replace(0, 20, "pellvane-recording 2");
    EXPECT_FALSE(decodeRecording(later, why));
    EXPECT_EQ("written by a later version (format 2)", why);
    EXPECT_FALSE(decodeRecording("\x89PNG\r\n\x1a\n", why));
    EXPECT_EQ("not a Pellvane recording", why);

    // The header's promises are held: an input past the recorded steps, a number out of range.
    Recording overrun = sample();
    overrun.header.steps = 5000;
    EXPECT_FALSE(decodeRecording(encodeRecording(overrun), why));
    EXPECT_EQ("damaged: input 10 cannot be read", why);
    std::string level0 = bytes;
    level0.replace(level0.find("level 12"), 8, "level 0 ");
    EXPECT_FALSE(decodeRecording(level0, why));
    EXPECT_EQ("damaged: level \"0 \" is no number it can be", why);
}

} // namespace
