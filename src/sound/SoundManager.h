// Placeholder for the SoundManager; its real declaration replaces this file.
#pragma once

class SoundManager {
public:
    virtual ~SoundManager() = default;
};
