// Lets the loaders go on past a data error, for the data checker: given a diagnostics sink, the
// loaders of sprite sets, sound sets, scenes, level files and groups hand the error of each unit
// (one sprite, one sound, one entity, one level file) to it, skip that unit and load the rest.
#pragma once

class BaseException;
class TiXmlElement;

// Without a sink (the game's start-up) every loader throws at the first error. The elements
// handed over live only during the call: a sink copies what it keeps.
class LoadDiagnostics {
public:
    virtual ~LoadDiagnostics() = default;
    // The unit read from `element` failed with `error` and was left out.
    virtual void failed(const TiXmlElement* element, const BaseException& error) = 0;
};

// Hands `error` about `element` to `sink` and answers true; without a sink answers false, and the
// caller throws the error on.
inline bool reportLoadError(LoadDiagnostics* sink, const TiXmlElement* element, const BaseException& error) {
    if (sink == nullptr)
        return false;
    sink->failed(element, error);
    return true;
}
