// Lets the loaders go on past a data error, for the data checker: given an observer, the loaders
// of sprite sets, sound sets, scenes, level files and groups hand the error of each unit (one
// sprite, one sound, one entity, one level file) to it, skip that unit and load the rest.
#pragma once

class BaseException;
class IEntity;
class TiXmlElement;

// Without an observer (the game's start-up) every loader throws at the first error, as before.
// The elements handed over live only during the call: an observer copies what it keeps.
class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    // The unit read from `element` failed with `error` and was left out.
    virtual void failed(const TiXmlElement* element, const BaseException& error) = 0;
    // `entity` was made and loaded from `element`.
    virtual void loaded(const TiXmlElement* element, IEntity* entity) = 0;
};

// Hands `error` about `element` to `observer` and answers true; without an observer answers false,
// and the caller throws the error on.
inline bool reportLoadError(LoadObserver* observer, const TiXmlElement* element, const BaseException& error) {
    if (observer == nullptr)
        return false;
    observer->failed(element, error);
    return true;
}
