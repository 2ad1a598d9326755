// What the scene asks of an entity that shows a picture, so that it can lay an opaque backdrop
// first and cheaply (BaseScene::render). The pictures (SpriteEntity and those built on it) answer.
#pragma once

class SpriteBatch;
struct Colour;
struct Rect;

// Every default is the answer that is always safe: a picture that says nothing more is drawn
// blended like any other, and the view is cleared under it.
class IPicture {
public:
    virtual ~IPicture() = default;
    // True when the picture has no transparency and hides whatever is behind it ("opaque"), so
    // the scene may draw it without blending.
    virtual bool isOpaque() const { return false; }
    // True when what the entity draws fills `area` (an unrotated picture over all of it).
    virtual bool covers(const Rect&) const { return false; }
    // The colour of a part of the picture large enough that clearing the whole view to it costs a
    // software rasteriser less than drawing that part. False when there is no such part.
    virtual bool clearColour(Colour&) const { return false; }
    // Adds the picture to `batch` all but the part that clearColour answered for: the caller has
    // cleared the view to that colour. Called only after clearColour answered true.
    virtual void renderOverClear(SpriteBatch*) {}
};
