// GradientEntity: reading the stops and drawing the bands between them.
#include "scene/GradientEntity.h"

#include <cmath>
#include <string>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/XmlAttributes.h"
#include "graphics/SpriteBatch.h"

namespace {
const char* const kSource = "GradientEntity";
// A flat band worth clearing the whole view for instead of drawing: at least this share of the
// gradient's rows. A clear costs about what a quad over a tenth of the window does.
constexpr float kMinClearedBandShare = 0.125f;

Colour tinted(const Colour& colour, const Colour& tint) {
    return {colour.red * tint.red, colour.green * tint.green, colour.blue * tint.blue, colour.alpha * tint.alpha};
}
} // namespace

void GradientEntity::load(const TiXmlHandle& handle, IScene* owner) {
    const TiXmlElement* element = loadPlacement(handle, owner, kSource);
    using namespace gradientsettings;
    if (!xml::readFloat(element, kWidth.name, width) || !xml::readFloat(element, kHeight.name, height) || !(width > 0.0f) ||
        !(height > 0.0f) || !std::isfinite(width) || !std::isfinite(height))
        throw EntityException(kSource, "A gradient needs a finite width and height above 0!");
    sizeSet = true;
    stops.clear();
    for (const TiXmlElement* stop = element->FirstChildElement("stop"); stop != nullptr;
         stop = stop->NextSiblingElement("stop")) {
        GradientStop read{0.0f, Colour()};
        if (!xml::readFloat(stop, kRow.name, read.row) || !xml::readColour(stop, kStopColour.name, read.colour))
            throw EntityException(kSource, "A gradient stop needs a row and a colour!");
        const float lowest = stops.empty() ? 0.0f : stops.back().row;
        // Written to be false for NaN too.
        if (!(read.row >= lowest && read.row <= height - 1.0f) || (!stops.empty() && read.row == lowest))
            throw EntityException(kSource, "Gradient stop rows must increase from 0 to the height less 1 (" +
                                               formatNumber(height - 1.0f) + "): row " + formatNumber(read.row) +
                                               (stops.empty() ? std::string() : " after row " + formatNumber(lowest)) +
                                               "!");
        stops.push_back(read);
    }
    if (stops.empty())
        throw EntityException(kSource, "A gradient needs at least one <stop>!");
    flatBand = 0;
    flatBandRows = stops.front().row + 0.5f;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        const float rows = stops[i].row - stops[i - 1].row;
        if (stops[i].colour == stops[i - 1].colour && rows > flatBandRows) {
            flatBand = i;
            flatBandRows = rows;
        }
    }
    if (height - (stops.back().row + 0.5f) > flatBandRows) {
        flatBand = stops.size();
        flatBandRows = height - (stops.back().row + 0.5f);
    }
}

bool GradientEntity::clearColour(Colour& bandColour) const {
    if (stops.empty() || flatBandRows < height * kMinClearedBandShare)
        return false;
    bandColour = tinted(stops[flatBand == stops.size() ? flatBand - 1 : flatBand].colour, colour);
    return true;
}

// A stop's colour is exact at the centre of its row, half a row below the row's top edge. So each
// band runs from one stop's row centre to the next one's, and the rasteriser, which samples colour
// at pixel centres, gives every row between them its evenly interpolated colour. Neighbouring bands
// share their edge, so each row is drawn once. Above the first stop and below the last the colour
// holds, in a band of its own.
void GradientEntity::renderBands(SpriteBatch* batch, bool flatBandCleared) {
    if (colour.alpha <= 0.0f || stops.empty())
        return;
    const std::size_t skipped = flatBandCleared ? flatBand : stops.size() + 1;
    const float left = position.x, right = position.x + width;
    const float top = position.y, bottom = position.y + height;
    auto centre = [top](const GradientStop& stop) { return top + stop.row + 0.5f; };
    const Colour first = tinted(stops.front().colour, colour);
    // Even a first stop on row 0 has its half row above: which side of an edge through pixel
    // centres gets them is the rasteriser's choice.
    if (skipped != 0)
        batch->addColourQuad(left, top, right, centre(stops.front()), first, first);
    Colour upper = first;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        const Colour lower = tinted(stops[i].colour, colour);
        if (skipped != i)
            batch->addColourQuad(left, centre(stops[i - 1]), right, centre(stops[i]), upper, lower);
        upper = lower;
    }
    if (skipped != stops.size())
        batch->addColourQuad(left, centre(stops.back()), right, bottom, upper, upper);
}

bool GradientEntity::covers(const Rect& area) const {
    return visible && colour.alpha > 0.0f && position.x <= area.x && position.y <= area.y &&
           position.x + width >= area.x + area.width && position.y + height >= area.y + area.height;
}
