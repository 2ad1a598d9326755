// The gradient entity: every row of random gradients over the whole window read back against the
// colour its stops give it, whether its flat band is drawn or cleared, and the element's mistakes.
#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "scene/GradientEntity.h"
#include "scene/SceneTestSupport.h"

namespace {

class GradientEntityTest : public scenetest::SceneFixture {
protected:
    std::unique_ptr<BaseScene> loadGradient(const std::string& element) {
        return loadScene("<base_scene id='main'><entities>" + element + "</entities></base_scene>");
    }
};

struct Stop {
    int row;
    int rgb[3];
};

// The colour a row must have: the nearest stop's outside them, the even share between two stops,
// times the tint, as 8 bits.
int expectedChannel(const std::vector<Stop>& stops, int row, int channel, float tint) {
    float value = float(stops.front().rgb[channel]);
    if (row >= stops.back().row) {
        value = float(stops.back().rgb[channel]);
    } else {
        for (std::size_t i = 1; i < stops.size(); ++i) {
            if (row >= stops[i - 1].row && row < stops[i].row) {
                const float share = float(row - stops[i - 1].row) / float(stops[i].row - stops[i - 1].row);
                value = stops[i - 1].rgb[channel] + share * float(stops[i].rgb[channel] - stops[i - 1].rgb[channel]);
            }
        }
    }
    return int(std::lround(value * tint));
}

// Random stops, often two of the same colour in a row (a flat band, cleared when it is wide
// enough), sometimes a tint; each opaque over the whole window, drawn by the scene as a frame is.
TEST_F(GradientEntityTest, EveryRowOfARandomGradientHasTheColourItsStopsGive) {
    std::mt19937 random(2026);
    for (int round = 0; round < 12; ++round) {
        std::vector<Stop> stops;
        const int count = 1 + int(random() % 5);
        std::vector<int> rows;
        while (int(rows.size()) < count) {
            const int row = int(random() % 600);
            if (std::find(rows.begin(), rows.end(), row) == rows.end())
                rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        for (int row : rows) {
            Stop stop{row, {int(random() % 256), int(random() % 256), int(random() % 256)}};
            if (!stops.empty() && random() % 2 == 0)
                std::copy(stops.back().rgb, stops.back().rgb + 3, stop.rgb);
            stops.push_back(stop);
        }
        const bool tinted = round % 3 == 2;
        std::string element =
            std::string("<gradient width='800' height='600' opaque='true'") + (tinted ? " colour='808080'" : "") + ">";
        char text[64];
        for (const Stop& stop : stops) {
            std::snprintf(text, sizeof text, "<stop row='%d' colour='%02x%02x%02x'/>", stop.row, stop.rgb[0],
                          stop.rgb[1], stop.rgb[2]);
            element += text;
        }
        element += "</gradient>";
        auto scene = loadGradient(element);
        graphicstest::prepareFrame({255, 0, 255, 255});
        scene->update(0.016f);
        scene->render();
        EXPECT_TRUE(scene->coversView());

        std::vector<uint8_t> column(600 * 4);
        glReadPixels(400, 0, 1, 600, GL_RGBA, GL_UNSIGNED_BYTE, column.data());
        int wrong = 0;
        for (int row = 0; row < 600 && wrong < 3; ++row) {
            const uint8_t* pixel = &column[(599 - row) * 4];
            for (int channel = 0; channel < 3; ++channel) {
                const int expected = expectedChannel(stops, row, channel, tinted ? 128.0f / 255.0f : 1.0f);
                if (std::abs(int(pixel[channel]) - expected) > 1) {
                    ADD_FAILURE() << element << ": row " << row << " channel " << channel << " is "
                                  << int(pixel[channel]) << ", not " << expected;
                    ++wrong;
                    break;
                }
            }
        }
    }
}

TEST_F(GradientEntityTest, AGradientWithoutASizeOrWithStopsOutOfOrderIsRefused) {
    const std::string prefix = "Entity Exception: GradientEntity: ";
    const std::pair<const char*, std::string> cases[] = {
        {"<gradient height='10'><stop row='0' colour='000000'/></gradient>",
         "A gradient needs a finite width and height above 0!"},
        {"<gradient width='10' height='0'><stop row='0' colour='000000'/></gradient>",
         "A gradient needs a finite width and height above 0!"},
        {"<gradient width='1e39' height='10'><stop row='0' colour='000000'/></gradient>",
         "A gradient needs a finite width and height above 0!"},
        {"<gradient width='10' height='10'/>", "A gradient needs at least one <stop>!"},
        {"<gradient width='10' height='10'><stop row='1'/></gradient>", "A gradient stop needs a row and a colour!"},
        {"<gradient width='10' height='10'><stop row='4' colour='000000'/><stop row='4' colour='ffffff'/></gradient>",
         "Gradient stop rows must increase from 0 to the height less 1 (9): row 4 after row 4!"},
        {"<gradient width='10' height='10'><stop row='9.5' colour='000000'/></gradient>",
         "Gradient stop rows must increase from 0 to the height less 1 (9): row 9.5!"},
        {"<gradient width='10' height='10'><stop row='-1' colour='000000'/></gradient>",
         "Gradient stop rows must increase from 0 to the height less 1 (9): row -1!"},
    };
    for (const auto& [xml, message] : cases) {
        try {
            loadGradient(xml);
            ADD_FAILURE() << "loaded: " << xml;
        } catch (const BaseException& e) {
            EXPECT_EQ(prefix + message, e.message) << xml;
        }
    }
}

} // namespace
