// Placeholder for the SpriteBatchRegistry; its real declaration replaces this file.
#pragma once

class SpriteBatchRegistry {
public:
    virtual ~SpriteBatchRegistry() = default;
};
