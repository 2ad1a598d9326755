// Placeholder for the SpriteManager; its real declaration replaces this file.
#pragma once

class SpriteManager {
public:
    virtual ~SpriteManager() = default;
};
