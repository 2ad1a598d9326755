// The "gradient" entity: a box of colour running down from one stop to the next, drawn as plain
// coloured quads with no texture. A backdrop drawn this way costs a software rasteriser about
// half of what the same picture costs as a stretched texture.
#pragma once

#include <vector>

#include "base/Setting.h"
#include "base/Colour.h"
#include "graphics/IRenderable.h"
#include "scene/SpriteEntity.h"

// A row of the gradient, counted from its top, and the colour that row has exactly.
struct GradientStop {
    float row;
    Colour colour;
};

// Attributes of a "gradient" element beside the sprite entity's it shares, and of its "stop"s.
namespace gradientsettings {
using K = ValueKind;
inline constexpr Setting kWidth{"width", K::Float, "required", "box width, above 0", 0, spritesettings::kFarthest};
inline constexpr Setting kHeight{"height", K::Float, "required", "box height, above 0", 0, spritesettings::kFarthest};
inline constexpr Setting kRow{
    "row", K::Float, "required", "the row whose colour this is, from 0 at the top", 0, spritesettings::kFarthest};
inline constexpr Setting kStopColour{"colour", K::Colour, "required", "the colour of that row"};
} // namespace gradientsettings

class GradientEntity : public SpriteEntity, public IRenderable {
public:
    // Reads the placement attributes, "width" and "height" (both needed) and the <stop> children.
    // Throws EntityException from "GradientEntity" when the size is missing or not above 0, when
    // there is no stop, or when the stops' rows do not increase within 0 to height - 1.
    void load(const TiXmlHandle& handle, IScene* scene) override;
    // Adds the bands to `batch`, an untextured batch (see isUntextured).
    void render(SpriteBatch* batch) override { renderBands(batch, false); }
    // The colour of the widest run of rows of one colour, tinted, when that run is large enough to
    // be worth a clear of the whole view instead of its quad. False when there is none.
    bool clearColour(Colour& bandColour) const override;
    // The bands but that widest flat one.
    void renderOverClear(SpriteBatch* batch) override { renderBands(batch, true); }
    IRenderable* getRenderable() override { return this; }
    bool covers(const Rect& area) const override;

    Texture* getTexture() override { return nullptr; }
    bool isUntextured() override { return true; }

    const std::vector<GradientStop>& getStops() const { return stops; }

private:
    // Leaves out the widest flat band when `flatBandCleared`.
    void renderBands(SpriteBatch* batch, bool flatBandCleared);

    std::vector<GradientStop> stops;
    // The widest flat band: 0 for the rows above the first stop, i for the rows between stops i - 1
    // and i, stops.size() for the rows below the last; its number of rows.
    std::size_t flatBand = 0;
    float flatBandRows = 0.0f;
};
